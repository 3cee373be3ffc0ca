// The checks a fetched routines file passes before it replaces the kept one.
#include "routines/routines_update.h"

#include <gtest/gtest.h>

#include "routines_sample.h"

namespace {

using routines::CheckUpdate;

TEST(RoutinesUpdateCheck, OnlyARoutinesFileAndOneWithFarFewerEntriesOnlyAfterAsking) {
  const std::string kept = sample::RoutinesFile(40);
  // Cut in the middle, as a server that closes early leaves it: it still reads, with half the entries.
  const routines::UpdateCheck half = CheckUpdate(kept.substr(0, kept.size() / 2), kept);
  EXPECT_TRUE(half.fetched.problem.empty());
  EXPECT_EQ(half.keptEntries, 40u);
  EXPECT_TRUE(half.askFirst);
  // Nine tenths and more replace it unasked, as does any file with no kept one beside it.
  EXPECT_FALSE(CheckUpdate(sample::RoutinesFile(36), kept).askFirst);
  EXPECT_TRUE(CheckUpdate(sample::RoutinesFile(35), kept).askFirst);
  EXPECT_FALSE(CheckUpdate(sample::RoutinesFile(4), "").askFirst);
  EXPECT_FALSE(CheckUpdate(sample::RoutinesFile(4), "<html>not found</html>").askFirst);
  // What is no routines file says so and asks nothing.
  for (const std::string& none : {std::string("<html>not found</html>"), std::string("MZ\x90\0\x03", 5), std::string()}) {
    const routines::UpdateCheck check = CheckUpdate(none, kept);
    EXPECT_FALSE(check.fetched.problem.empty());
    EXPECT_FALSE(check.askFirst);
  }
  base::text::NumberStyle dots{L".", L"3;0"};
  EXPECT_EQ(routines::FewerEntriesQuestion(CheckUpdate(sample::RoutinesFile(1857), sample::RoutinesFile(4012)),
                                           L"http://x/Winapp2.ini", dots),
            L"The routines file from\nhttp://x/Winapp2.ini\nholds 1.857 entries, far fewer than the 4.012 of the "
            L"kept file: it may have come cut short. Replace the kept file with it?");
}

}  // namespace
