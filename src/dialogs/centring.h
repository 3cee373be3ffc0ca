// Where a window goes so that its centre lies on the centre of another
// rectangle or of the screen.  Half pixels go to the even neighbour.
#pragma once

namespace dialogs {

// Screen coordinates in pixels, right and bottom exclusive.
struct Rect {
  long left = 0;
  long top = 0;
  long right = 0;
  long bottom = 0;
};

struct Point {
  long x = 0;
  long y = 0;
};

// `twice` / 2 to the nearest whole number, a half going to the even one.
long HalveToEven(long long twice);

// Top-left corner that centres `window` (only its size counts) on `owner`.
// A window larger than the owner gets a corner left of or above it.
Point CentreOn(const Rect& owner, const Rect& window);

// Top-left corner that centres `window` on a screen of the given size.
Point CentreOnScreen(long screenWidth, long screenHeight, const Rect& window);

}  // namespace dialogs
