// Sizes the program's windows are laid out with: twips scaled to a DPI, the
// DPI of a window or of the screen, and the system's message font.
#pragma once
#include <windows.h>

#include "base/handles_win.h"

namespace base::win {

// The DPI of the monitor a window is on; the screen's DPI for no window or
// where the platform cannot tell per window.
UINT WindowDpi(HWND hwnd);
// Twips (1440 to the inch; 15 to the pixel at 96 DPI) in pixels.
inline int TwipsToPixels(int twips, UINT dpi) { return MulDiv(twips, static_cast<int>(dpi), 1440); }
// The system's message font for the given DPI, optionally larger and bold.
// Empty when the system gives none.
unique_hfont CreateMessageFont(UINT dpi, int percent = 100, bool bold = false);

}  // namespace base::win
