// The shared texts' Win32 part: what the user's locale and clock say, and
// sizes as Explorer writes them.
#pragma once
#include <cstdint>
#include <string>

#include "base/texts.h"

namespace base::text {

// The user's thousands separator and grouping; English where the locale
// cannot be read.
NumberStyle UserNumberStyle();
// The local time now.
DateTime LocalNow();
// "1.2 GB", "3 bytes": StrFormatByteSizeW's text, or the plain number of
// bytes should it fail.
std::wstring ExplorerSize(std::uint64_t bytes);

}  // namespace base::text
