// Centring arithmetic: exact halves, half pixels to the even neighbour,
// windows larger than their owner, the screen as the reference.
#include "dialogs/centring.h"

#include <gtest/gtest.h>

using dialogs::CentreOn;
using dialogs::CentreOnScreen;
using dialogs::HalveToEven;
using dialogs::Point;
using dialogs::Rect;

namespace {

Rect Sized(long width, long height) { return Rect{1000, 2000, 1000 + width, 2000 + height}; }

}  // namespace

TEST(DialogsCentring, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(HalveToEven(600), 300);
  EXPECT_EQ(HalveToEven(401), 200);    // 200.5
  EXPECT_EQ(HalveToEven(403), 202);    // 201.5
  EXPECT_EQ(HalveToEven(1), 0);        // 0.5
  EXPECT_EQ(HalveToEven(3), 2);        // 1.5
  EXPECT_EQ(HalveToEven(-1), 0);       // -0.5
  EXPECT_EQ(HalveToEven(-3), -2);      // -1.5
  EXPECT_EQ(HalveToEven(-401), -200);  // -200.5
  EXPECT_EQ(HalveToEven(-403), -202);  // -201.5
  EXPECT_EQ(HalveToEven(-8), -4);
}

TEST(DialogsCentring, CentresOnTheOwner) {
  Point p = CentreOn(Rect{100, 50, 900, 650}, Sized(400, 300));
  EXPECT_EQ(p.x, 300);
  EXPECT_EQ(p.y, 200);
  // Odd owner width: 0 + 400.5 - 200 = 200.5 becomes 200; 201.5 becomes 202.
  EXPECT_EQ(CentreOn(Rect{0, 0, 801, 600}, Sized(400, 300)).x, 200);
  EXPECT_EQ(CentreOn(Rect{1, 0, 802, 600}, Sized(400, 300)).x, 202);
  // Odd dialog height: 50 + 300 - 150.5 = 199.5 becomes 200.
  EXPECT_EQ(CentreOn(Rect{100, 50, 900, 650}, Sized(400, 301)).y, 200);
}

TEST(DialogsCentring, LargerWindowsGoLeftAndAboveWithoutClamping) {
  Point p = CentreOn(Rect{10, 20, 210, 120}, Sized(600, 500));
  EXPECT_EQ(p.x, -190);  // 10 + 100 - 300
  EXPECT_EQ(p.y, -180);  // 20 + 50 - 250
  // Owners partly off the screen to the left and above.
  Point q = CentreOn(Rect{-500, -300, -99, 0}, Sized(100, 100));
  EXPECT_EQ(q.x, -350);  // -500 + 200.5 - 50 = -349.5
  EXPECT_EQ(q.y, -200);
}

TEST(DialogsCentring, CentresOnTheScreen) {
  Point p = CentreOnScreen(1024, 768, Sized(400, 300));
  EXPECT_EQ(p.x, 312);
  EXPECT_EQ(p.y, 234);
  EXPECT_EQ(CentreOnScreen(1024, 768, Sized(401, 301)).x, 312);  // 311.5
  EXPECT_EQ(CentreOnScreen(1024, 768, Sized(403, 303)).y, 232);  // 232.5
}
