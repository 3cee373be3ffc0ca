// Checks on listed paths before a removal run tries them (portable).
#include "removal/listed_path.h"

#include "base/paths.h"

namespace removal {

std::wstring PathRefusal(const std::wstring& path) {
  if (path.empty()) return L"no path is given";
  if (path.size() > kLongestPath) return L"the path is too long";
  if (base::paths::IsDevicePath(path)) return L"a device, not a file or folder";
  if (!base::paths::IsFullPath(path)) return L"not a full path";
  if (base::paths::HasInvalidCharacter(path)) return L"the name is not valid";
  return std::wstring();
}

}  // namespace removal
