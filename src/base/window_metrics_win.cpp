// DPI and font look-ups shared by the program's windows.
#include "base/window_metrics_win.h"

namespace base::win {
namespace {

UINT ScreenDpi() {
  HDC dc = GetDC(nullptr);
  int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
  if (dc) ReleaseDC(nullptr, dc);
  return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

}  // namespace

UINT WindowDpi(HWND hwnd) {
  // GetDpiForWindow exists from Windows 10 1607 on; look it up at run time.
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static auto getDpi = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (getDpi && hwnd) {
    UINT dpi = getDpi(hwnd);
    if (dpi) return dpi;
  }
  return ScreenDpi();
}

unique_hfont CreateMessageFont(UINT dpi, int percent, bool bold) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return unique_hfont();
  LOGFONTW font = metrics.lfMessageFont;
  // The metrics are given for the screen's DPI.
  font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(dpi) * percent, static_cast<int>(ScreenDpi()) * 100);
  if (bold) font.lfWeight = FW_BOLD;
  return unique_hfont(CreateFontIndirectW(&font));
}

}  // namespace base::win
