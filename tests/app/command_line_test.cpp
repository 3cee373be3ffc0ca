// Reading the command line for the start-up dispatch.
#include "app/command_line.h"

#include <gtest/gtest.h>

TEST(CommandLine, ArgumentTextSkipsTheProgramName) {
  EXPECT_EQ(app::ArgumentText(L"\"C:\\Program Files\\o.exe\"  Remove Files*C:\\l.txt"), L"Remove Files*C:\\l.txt");
  EXPECT_EQ(app::ArgumentText(L"o.exe x y"), L"x y");
  EXPECT_EQ(app::ArgumentText(L"o.exe"), L"");
  EXPECT_EQ(app::ArgumentText(L"\"C:\\Remove Files\\o.exe\""), L"");
  EXPECT_EQ(app::ArgumentText(L""), L"");
}

TEST(CommandLine, RemovalRunOnlyWhenTheTextBeginsWithThePhrase) {
  EXPECT_TRUE(app::IsRemovalRun(L"Remove Files*C:\\l.txt"));
  EXPECT_TRUE(app::IsRemovalRun(L"\"Remove Files*C:\\my lists\\l.txt\""));
  EXPECT_TRUE(app::IsRemovalRun(L"Remove Files"));  // no list named: the run says so
  EXPECT_TRUE(app::IsRemovalRun(L"\"Remove Files\" "));
  EXPECT_FALSE(app::IsRemovalRun(L"\"C:\\data\\Remove Files\""));
  EXPECT_FALSE(app::IsRemovalRun(L"C:\\x.txt \"Remove Files*C:\\l.txt\""));
  EXPECT_FALSE(app::IsRemovalRun(L"junk Remove Files"));
  EXPECT_FALSE(app::IsRemovalRun(L"Remove Filesystem"));
  EXPECT_FALSE(app::IsRemovalRun(L"remove files*C:\\l.txt"));
  EXPECT_FALSE(app::IsRemovalRun(L"\""));
  EXPECT_FALSE(app::IsRemovalRun(L""));
}

using Args = std::vector<std::wstring>;

TEST(CommandLine, SplitFollowsTheWindowsRules) {
  EXPECT_EQ(app::SplitArguments(L""), Args{});
  EXPECT_EQ(app::SplitArguments(L"  \t "), Args{});
  EXPECT_EQ(app::SplitArguments(L"a  b\tc "), (Args{L"a", L"b", L"c"}));
  EXPECT_EQ(app::SplitArguments(L"\"C:\\My Files\\a b.txt\" C:\\x"), (Args{L"C:\\My Files\\a b.txt", L"C:\\x"}));
  EXPECT_EQ(app::SplitArguments(L"\"\" x"), (Args{L"", L"x"}));
  EXPECT_EQ(app::SplitArguments(L"a\"b c\"d e"), (Args{L"ab cd", L"e"}));
  EXPECT_EQ(app::SplitArguments(L"\\\\server\\share\\x"), (Args{L"\\\\server\\share\\x"}));
  EXPECT_EQ(app::SplitArguments(L"a\\\\\"b c\""), (Args{L"a\\b c"}));
  EXPECT_EQ(app::SplitArguments(L"a\\\"b c"), (Args{L"a\"b", L"c"}));
  EXPECT_EQ(app::SplitArguments(L"\"a\"\"b\" c"), (Args{L"a\"b c"}));  // "" in quotes: a quote, and the quotes end
  EXPECT_EQ(app::SplitArguments(L"\"unclosed arg"), (Args{L"unclosed arg"}));
  EXPECT_EQ(app::SplitArguments(L"trailing\\\\"), (Args{L"trailing\\\\"}));
}

TEST(CommandLine, OnlyFullPathsAreTakenAndADriveRootKeepsItsBackslash) {
  EXPECT_EQ(app::PathArguments(L"\"C:\\data\\Remove Files\" d:\\x.txt \\\\srv\\sh\\f \\\\?\\C:\\long"),
            (Args{L"C:\\data\\Remove Files", L"d:\\x.txt", L"\\\\srv\\sh\\f", L"\\\\?\\C:\\long"}));
  EXPECT_EQ(app::PathArguments(L"\"C:\\\""), (Args{L"C:\\"}));
  EXPECT_EQ(app::PathArguments(L"a.txt ..\\b C: C:x \\x \\\\\\x / \"\" -h"), Args{});
}

TEST(CommandLine, PackedPathsComeBackInOrder) {
  const Args paths{L"C:\\a", L"C:\\b c", L"\\\\s\\d"};
  EXPECT_EQ(app::UnpackPaths(app::PackPaths(paths)), paths);
  EXPECT_EQ(app::UnpackPaths(std::wstring(L"\0C:\\a\0\0C:\\b", 11)), (Args{L"C:\\a", L"C:\\b"}));
  EXPECT_EQ(app::UnpackPaths(L""), Args{});
}
