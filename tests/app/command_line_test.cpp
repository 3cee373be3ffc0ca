// Reading the command line for the start-up dispatch.
#include "app/command_line.h"

#include <gtest/gtest.h>

TEST(CommandLine, ArgumentTextSkipsTheProgramName) {
  EXPECT_EQ(app::ArgumentText(L"\"C:\\Program Files\\o.exe\"  Remove Files*C:\\l.txt"),
            L"Remove Files*C:\\l.txt");
  EXPECT_EQ(app::ArgumentText(L"o.exe x y"), L"x y");
  EXPECT_EQ(app::ArgumentText(L"o.exe"), L"");
  EXPECT_EQ(app::ArgumentText(L"\"C:\\Remove Files\\o.exe\""), L"");
  EXPECT_EQ(app::ArgumentText(L""), L"");
}

TEST(CommandLine, RemovalRunNeedsTheExactPhraseAnywhere) {
  EXPECT_TRUE(app::IsRemovalRun(L"Remove Files*C:\\l.txt"));
  EXPECT_TRUE(app::IsRemovalRun(L"junk Remove Files"));
  EXPECT_FALSE(app::IsRemovalRun(L"remove files*C:\\l.txt"));
  EXPECT_FALSE(app::IsRemovalRun(L""));
}
