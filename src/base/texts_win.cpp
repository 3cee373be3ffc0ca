// The user's number style and clock, and Explorer's size text through the
// shell's own formatter.
#include "base/texts_win.h"

#include <windows.h>

#include <shlwapi.h>

namespace base::text {

NumberStyle UserNumberStyle() {
  NumberStyle style;
  wchar_t text[16] = L"";
  if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STHOUSAND, text, 16)) style.separator = text;
  if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SGROUPING, text, 16)) style.grouping = text;
  return style;
}

DateTime LocalNow() {
  SYSTEMTIME t{};
  GetLocalTime(&t);
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

std::wstring ExplorerSize(std::uint64_t bytes) {
  wchar_t text[64] = L"";
  if (!StrFormatByteSizeW(static_cast<LONGLONG>(bytes), text, 64)) return std::to_wstring(bytes) + L" bytes";
  return text;
}

}  // namespace base::text
