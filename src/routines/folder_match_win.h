// A folder pattern (folder_pattern.h) matched against what exists: the
// root must be a folder and no link; a wildcard part is matched against
// the subfolders its folder lists (on their long names, name_match.h,
// never through the file system's own pattern search), a plain part is
// looked up. Links, junctions and mount points are never entered and
// never given, so a match stays below its root.
#pragma once
#include <atomic>
#include <string>
#include <vector>

#include "routines/folder_pattern.h"

namespace routines {

// The folders that fit, canonical, in listing order (each at most once).
std::vector<std::wstring> MatchFolders(const FolderPattern& pattern, const std::atomic<bool>& stop);

// Whether some item fits, its last part matched against files and folders
// alike (a DetectFile: "%ProgramFiles%\Foo\foo*.exe").
bool AnyItemFits(const FolderPattern& pattern, const std::atomic<bool>& stop);

// Whether a folder on the way from `from` down to `folder` (both canonical;
// `from` itself not included, `folder` included) is a link: a routine's
// fixed folder is reached only through the folders it names. When
// `folder` is not below `from`, every folder below its root is looked at.
bool ReachedThroughLink(const std::wstring& from, const std::wstring& folder);

// Whether a folder is there, is a folder and is no link.
bool IsPlainFolder(const std::wstring& folder);

}  // namespace routines
