// Long-path prefixes (portable string handling only).
#include "base/long_path.h"

namespace paths {

std::wstring LongPath(const std::wstring& path, size_t threshold) {
  if (path.size() < threshold) return path;
  if (path.compare(0, 4, L"\\\\?\\") == 0) return path;
  bool drive = path.size() >= 3 && path[1] == L':' && path[2] == L'\\';
  if (drive) return L"\\\\?\\" + path;
  if (path.compare(0, 2, L"\\\\") == 0) return L"\\\\?\\UNC\\" + path.substr(2);
  return path;
}

std::wstring ShortForm(const std::wstring& path) {
  if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0) return L"\\\\" + path.substr(8);
  if (path.compare(0, 4, L"\\\\?\\") == 0) return path.substr(4);
  return path;
}

}  // namespace paths
