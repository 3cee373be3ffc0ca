// Centring arithmetic for the file dialogs.
#include "dialogs/centring.h"

namespace dialogs {
namespace {

// Twice the corner coordinate on one axis: start + span / 2 - size / 2.
long long TwiceCorner(long long start, long long span, long long size) { return 2 * start + span - size; }

}  // namespace

long HalveToEven(long long twice) {
  long long half = twice / 2;
  if (twice % 2 != 0 && twice < 0) --half;  // floor for negative odd values
  if (twice % 2 != 0 && half % 2 != 0) ++half;
  return static_cast<long>(half);
}

Point CentreOn(const Rect& owner, const Rect& window) {
  Point p;
  p.x = HalveToEven(TwiceCorner(owner.left, owner.right - owner.left, window.right - window.left));
  p.y = HalveToEven(TwiceCorner(owner.top, owner.bottom - owner.top, window.bottom - window.top));
  return p;
}

Point CentreOnScreen(long screenWidth, long screenHeight, const Rect& window) {
  return CentreOn(Rect{0, 0, screenWidth, screenHeight}, window);
}

}  // namespace dialogs
