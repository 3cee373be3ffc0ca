// Remembered window placement: the registry text and the visibility test.
#include "app/window_placement.h"

#include <gtest/gtest.h>

namespace {

using app::ScreenRect;

TEST(WindowPlacement, FormatReadsBackIncludingNegativeCoordinates) {
  app::SavedPlacement p;
  p.normal = ScreenRect{-1200, 40, -200, 700};
  p.maximized = true;
  EXPECT_EQ(app::FormatPlacement(p), L"1,1,-1200,40,-200,700");
  auto back = app::ParsePlacement(app::FormatPlacement(p));
  ASSERT_TRUE(back);
  EXPECT_TRUE(back->maximized);
  EXPECT_EQ(back->normal.left, -1200);
  EXPECT_EQ(back->normal.bottom, 700);
  EXPECT_FALSE(app::ParsePlacement(L"1,0,10,20,930,600")->maximized);
}

TEST(WindowPlacement, MalformedOrTruncatedTextIsNoPlacement) {
  for (const wchar_t* text : {L"", L"1", L"1,0,10,20,930", L"1,0,10,20,930,", L"1,0,10,20,930,600,5",
                              L"2,0,10,20,930,600", L"1,2,10,20,930,600", L"1,0,10,20,930,600 ", L" 1,0,10,20,930,600",
                              L"1,0,a,20,930,600", L"1,0,--1,20,930,600", L"1,0,10,20,5,600", L"1,0,10,600,930,600",
                              L"1,0,10,20,930,99999999999", L"1,0,10,20,930,200000", L"1;0;10;20;930;600"}) {
    EXPECT_FALSE(app::ParsePlacement(text)) << text;
  }
  EXPECT_TRUE(app::ParsePlacement(L"1,0,10,20,930,60"));
}

TEST(WindowPlacement, CaptionMustBeOnAMonitorThatExists) {
  const std::vector<ScreenRect> one{{0, 0, 1024, 768}};
  const std::vector<ScreenRect> two{{0, 0, 1024, 768}, {1024, 0, 2048, 768}};
  EXPECT_TRUE(app::CaptionReachable({100, 100, 1000, 700}, one));
  EXPECT_TRUE(app::CaptionReachable({-800, 10, 100, 600}, one));     // 100 px of caption still on screen
  EXPECT_FALSE(app::CaptionReachable({-900, 10, 30, 600}, one));     // only 30 px
  EXPECT_FALSE(app::CaptionReachable({1200, 100, 2000, 700}, one));  // on a monitor no longer there
  EXPECT_TRUE(app::CaptionReachable({1200, 100, 2000, 700}, two));
  EXPECT_FALSE(app::CaptionReachable({100, -50, 900, 700}, one));   // caption above the screen
  EXPECT_FALSE(app::CaptionReachable({100, 760, 900, 1400}, one));  // below it
  EXPECT_FALSE(app::CaptionReachable({100, 100, 900, 700}, {}));
}

}  // namespace
