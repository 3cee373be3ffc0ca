// Explorer's size text through the shell's own formatter.
#include "base/size_text_win.h"

#include <windows.h>

#include <shlwapi.h>

namespace base {

std::wstring ExplorerSize(std::uint64_t bytes) {
  wchar_t text[64] = L"";
  if (!StrFormatByteSizeW(static_cast<LONGLONG>(bytes), text, 64)) return std::to_wstring(bytes) + L" bytes";
  return text;
}

}  // namespace base
