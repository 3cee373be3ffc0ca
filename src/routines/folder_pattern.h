// A routine's folder once its variables are replaced, split into the fixed
// folder it starts from and the parts after it, which may hold "*" and "?"
// (%LocalAppData%\Google\Chrome*\User Data\*\Cache: the root is
// "...\Google", the parts "Chrome*", "User Data", "*" and "Cache"). The
// parts are matched against what exists (folder_match_win.h), one level
// at a time, so a match never climbs out of its root; the same pattern
// also tells whether a folder found by a walk is the one it names or
// below it (an exclusion's folder).
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "listfile/routine.h"
#include "routines/variables.h"

namespace routines {

struct FolderPattern {
  std::wstring root;                // canonical (base::paths::Canonical), no wildcard
  std::vector<std::wstring> parts;  // after the root, the first with a wildcard; none: the root alone
};

bool HasWildcard(std::wstring_view text);

// Splits a folder whose variables are replaced; false with the reason
// when it is not a full path, or names "." or ".." after its root.
bool SplitFolderPattern(const std::wstring& folder, FolderPattern& pattern, std::wstring& problem);

// Where a folder (canonical) that is the pattern's folder or below it
// leaves the pattern: the position in `folder` just past the matched part
// (at its separator, or its end); npos when the folder is neither. Names
// are compared as the file system compares them, wildcard parts as name
// patterns.
size_t PatternPrefix(const FolderPattern& pattern, const std::wstring& folder);

// The folder a routine's first FileKey that can be placed starts from, for
// showing where the routine cleans: its variables replaced, the part
// before its first wildcard; the empty text when no key can be placed.
std::wstring StartFolder(const listfile::Routine& routine, const VariableLookup& lookup);

}  // namespace routines
