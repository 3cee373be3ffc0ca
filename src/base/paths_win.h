// Path questions only the platform can answer: the full form of a path as
// the program reads it, drive roots, whether an item is gone, paths in
// their long and short names, and where the program is.
#pragma once
#include <windows.h>

#include <string>

namespace base::paths {

// The canonical form of any path that comes in (base::paths::Canonical): a
// relative path is made full against the current folder (a drive-relative
// one against that drive's current folder), names kept as written, trailing
// dots and blanks included (GetFullPathName would drop them and name a
// neighbour). The empty text when the platform cannot say.
std::wstring FullPathName(const std::wstring& path);
// A folder's full form in its plain spelling (PlainSpelling): the device
// form "\\.\" read as the items it reaches and "X:" as the root "X:\", then
// a relative path made full (FullPathName).
std::wstring PlainFullPath(const std::wstring& path);
// The path with every name in the short 8.3 form the disk has for it; the
// empty text when the disk cannot say or the short path would not fit
// MAX_PATH.
std::wstring ShortNames(const std::wstring& path);

// A drive root or the root of a mounted volume or share. Below a drive
// root only a folder that is a reparse point (a mounted volume's folder is
// one) can be the root of a volume, so for a folder with other `attributes`
// the volume is not asked.
bool IsDriveRoot(const std::wstring& apiPath, DWORD attributes = INVALID_FILE_ATTRIBUTES);
// The codes the platform gives for an item or a folder on its path that is
// not there.
bool IsNotFound(DWORD code);
// Gone from its place: the platform says it is not found.
bool IsGone(const std::wstring& apiPath);

// The full path of the program's own file; the empty text when the platform
// cannot say (GetLastError then tells why).
std::wstring ProgramPath();
// The folder the program's file is in, without a closing "\".
std::wstring ProgramFolder();

// Where the program keeps its own files for the user who runs (the run
// log, the fetched routines file): %LOCALAPPDATA%\Ombrelay, not made here;
// the empty text when the system cannot say.
std::wstring OwnLocalFolder();

}  // namespace base::paths
