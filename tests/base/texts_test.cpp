// The shared texts: what the removal's, the rule window's and the
// approval's own tests do not already pin.
#include "base/texts.h"

#include <gtest/gtest.h>

namespace {

using base::text::DateTime;

TEST(Texts, CountsTakeTheWordForExactlyOneAndTheStyleForTheNumber) {
  EXPECT_EQ(base::text::Counted(0, L"file", L"files"), L"0 files");
  EXPECT_EQ(base::text::Counted(1, L"file", L"files"), L"1 file");
  EXPECT_EQ(base::text::Counted(1234, L"file", L"files"), L"1234 files");
  EXPECT_EQ(base::text::Counted(1234, L"file", L"files", base::text::NumberStyle()), L"1,234 files");
  EXPECT_EQ(base::text::Counted(1234567, L"item", L"items", {L"\u00a0", L"3;0"}), L"1\u00a0234\u00a0567 items");
}

TEST(Texts, DayNamesRunFromSundayAndNothingOutsideTheWeek) {
  EXPECT_STREQ(base::text::DayName(0), L"Sunday");
  EXPECT_STREQ(base::text::DayName(3), L"Wednesday");
  EXPECT_STREQ(base::text::DayName(6), L"Saturday");
  EXPECT_STREQ(base::text::DayName(7), L"");
  EXPECT_STREQ(base::text::DayName(-1), L"");
}

TEST(Texts, StampsWriteEveryFieldInFullWidth) {
  const DateTime t{2026, 1, 2, 0, 9, 59};
  EXPECT_EQ(base::text::DateText(t), L"2026-01-02");
  EXPECT_EQ(base::text::DateTimeText(t), L"2026-01-02 00:09:59");
  EXPECT_EQ(base::text::DateTimeText(t, L'.'), L"2026-01-02 00.09.59");
  EXPECT_EQ(base::text::DateText({987, 12, 31, 23, 0, 0}), L"0987-12-31");
  EXPECT_EQ(base::text::ClockText(7, 5), L"07:05");
}

}  // namespace
