// The checks a fetched routines file passes before it replaces the kept one.
#include "routines/routines_update.h"

#include <gtest/gtest.h>

#include "routines_sample.h"

namespace {

TEST(RoutinesUpdateCheck, OnlyARoutinesFileAndOneWithFarFewerEntriesOnlyAfterAsking) {
  using routines::CheckUpdate;
  const std::string kept = sample::RoutinesFile(1200);
  const routines::UpdateCheck half = CheckUpdate(kept.substr(0, kept.size() / 2), kept);  // a cut one still reads
  EXPECT_TRUE(half.fetched.problem.empty() && half.askFirst);
  EXPECT_FALSE(CheckUpdate(sample::RoutinesFile(1080), kept).askFirst);
  const routines::UpdateCheck fewer = CheckUpdate(sample::RoutinesFile(1079), kept);
  EXPECT_EQ(routines::FewerEntriesQuestion(fewer, L"http://x/a.ini", {L".", L"3;0"}),
            L"The routines file from\nhttp://x/a.ini\nholds 1.079 entries, far fewer than the 1.200 of the kept file: "
            L"it may have come cut short. Replace the kept file with it?");
  EXPECT_FALSE(CheckUpdate(sample::RoutinesFile(4), "<html>not found</html>").askFirst);
  for (const std::string none : {"<html>not found</html>", "MZ\x90", ""})
    EXPECT_FALSE(CheckUpdate(none, kept).fetched.problem.empty() || CheckUpdate(none, kept).askFirst) << none;
}

}  // namespace
