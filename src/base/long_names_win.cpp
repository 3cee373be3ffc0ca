// Long names looked up one name at a time, below parents already looked up.
#include "base/long_names_win.h"

#include <windows.h>

#include "base/folder_listing_win.h"
#include "base/paths.h"

namespace base::paths {
namespace {

// A path whose parent is the text before its last "\" and whose names the
// lister takes as written: a drive's full path in its one spelling, short
// enough for the calls without the prefix, no name a call without it reads
// as another and no character a listing pattern reads as a wildcard.
bool PlainDrivePath(const std::wstring& path) {
  return path.size() > 3 && path.size() < MAX_PATH && path[1] == L':' && path[2] == L'\\' && Canonical(path) == path &&
         !HasInvalidCharacter(path) && !HasNameThatPlainFormChanges(path);
}

}  // namespace

std::wstring LongNamesOnce::Of(const std::wstring& path) {
  // The closing separator, repeated ones, "." and "..": LongNames reads the
  // path as the file system does, in its one spelling.
  if (const std::wstring plain = Canonical(path); !plain.empty() && plain != path) return Of(plain);
  if (!PlainDrivePath(path)) return LongNames(path);
  if (const auto known = known_.find(path); known != known_.end()) return known->second;
  const size_t slash = path.rfind(L'\\');
  const std::wstring parent = path.substr(0, slash == 2 ? 3 : slash);
  std::wstring name = path.substr(slash + 1);
  ListEntries(WithSeparator(parent), name, [&](const WIN32_FIND_DATAW& data) {
    name = data.cFileName;
    return false;
  });
  // A name that is not there (or cannot be looked at) stays as written.
  return known_.emplace(path, JoinPath(Of(parent), name)).first->second;
}

}  // namespace base::paths
