// The system's folders and variables, read in this one place: the known
// folders of the user who runs (by SHGetKnownFolderPath alone, so that one
// folder never has two spellings from two routes), the Windows folder, the
// temporary folder, the profiles folder and the process's environment.
#pragma once
#include <windows.h>

#include <shlobj.h>

#include <string>

namespace base::system {

// A known folder of the user who runs (SHGetKnownFolderPath with `flags`);
// the empty text when the system cannot say.
std::wstring KnownFolder(REFKNOWNFOLDERID id, DWORD flags = 0);
// The Windows folder (the known folder FOLDERID_Windows).
std::wstring WindowsFolder();
// The user's temporary folder as the system gives it, with its closing
// "\"; the empty text when the system cannot say (GetLastError then tells
// why).
std::wstring TempFolder();
// The folder the users' profiles are made in ("C:\Users", the known folder
// FOLDERID_UserProfiles); the empty text when the system cannot say.
std::wstring ProfilesFolder();
// The value of the process's environment variable `name`; the empty text
// when it is not set.
std::wstring EnvironmentValue(const std::wstring& name);

}  // namespace base::system
