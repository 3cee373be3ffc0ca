// Sizes written the way Explorer writes them, for every window that shows one.
#pragma once
#include <cstdint>
#include <string>

namespace base {

// "1.2 GB", "3 bytes": StrFormatByteSizeW's text, or the plain number of
// bytes should it fail.
std::wstring ExplorerSize(std::uint64_t bytes);

}  // namespace base
