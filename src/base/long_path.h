// Long-path forms: absolute paths of MAX_PATH characters and more get the
// "\\?\" prefix so the wide file functions take them whole.
#pragma once
#include <string>

namespace paths {

constexpr size_t kMaxPath = 260;

// C:\x -> \\?\C:\x and \\srv\share\x -> \\?\UNC\srv\share\x when the path is
// long enough to need it; other paths are returned unchanged.
std::wstring LongPath(const std::wstring& path, size_t threshold = kMaxPath - 12);
// Removes a "\\?\" or "\\?\UNC\" prefix again, for display.
std::wstring ShortForm(const std::wstring& path);

}  // namespace paths
