// The case-sensitive name test of the folder search.
#include "search/name_pattern.h"

#include <gtest/gtest.h>

namespace search {
namespace {

bool Fits(const wchar_t* name, const wchar_t* pattern) { return FitsPattern(name, pattern) == PatternFit::Fits; }

TEST(SearchNamePattern, CaseIsSignificant) {
  EXPECT_TRUE(Fits(L"a.A", L"*.A"));
  EXPECT_FALSE(Fits(L"a.a", L"*.A"));
  EXPECT_FALSE(Fits(L"Readme", L"readme"));
  EXPECT_TRUE(Fits(L"readme", L"readme"));
}

TEST(SearchNamePattern, StarFitsAnyRunIncludingNone) {
  EXPECT_TRUE(Fits(L"", L"*"));
  EXPECT_TRUE(Fits(L"abc", L"*"));
  EXPECT_TRUE(Fits(L"abc", L"a*c"));
  EXPECT_TRUE(Fits(L"ac", L"a*c"));
  EXPECT_TRUE(Fits(L"a.b.c", L"*.c"));
  EXPECT_TRUE(Fits(L"aXbYbZc", L"a*b*c"));
  EXPECT_FALSE(Fits(L"abcd", L"a*c"));
  EXPECT_TRUE(Fits(L"abab", L"*ab"));
}

TEST(SearchNamePattern, StarDotStarNeedsADot) {
  EXPECT_TRUE(Fits(L"a.txt", L"*.*"));
  EXPECT_TRUE(Fits(L".hidden", L"*.*"));
  EXPECT_FALSE(Fits(L"Makefile", L"*.*"));
}

TEST(SearchNamePattern, QuestionMarkAndDigit) {
  EXPECT_TRUE(Fits(L"a1", L"a?"));
  EXPECT_FALSE(Fits(L"a", L"a?"));
  EXPECT_FALSE(Fits(L"a12", L"a?"));
  EXPECT_TRUE(Fits(L"x7.log", L"x#.log"));
  EXPECT_FALSE(Fits(L"xa.log", L"x#.log"));
  EXPECT_TRUE(Fits(L"x\u4E2D", L"x?"));
}

TEST(SearchNamePattern, BracketLists) {
  EXPECT_TRUE(Fits(L"b", L"[abc]"));
  EXPECT_FALSE(Fits(L"d", L"[abc]"));
  EXPECT_TRUE(Fits(L"m.c", L"[a-z].c"));
  EXPECT_FALSE(Fits(L"M.c", L"[a-z].c"));
  EXPECT_TRUE(Fits(L"d", L"[!abc]"));
  EXPECT_FALSE(Fits(L"a", L"[!abc]"));
  EXPECT_TRUE(Fits(L"-", L"[a-]"));
  EXPECT_TRUE(Fits(L"-", L"[-a]"));
  EXPECT_TRUE(Fits(L"*", L"[*]"));
  EXPECT_FALSE(Fits(L"x", L"[*]"));
  EXPECT_TRUE(Fits(L"!", L"!"));
  EXPECT_TRUE(Fits(L"file9.txt", L"*[0-9].txt"));
}

TEST(SearchNamePattern, MalformedBracketsAreReported) {
  EXPECT_EQ(FitsPattern(L"a", L"[abc"), PatternFit::BadPattern);
  EXPECT_EQ(FitsPattern(L"zzz", L"a*[z-a]"), PatternFit::BadPattern);
  EXPECT_EQ(FitsPattern(L"", L"["), PatternFit::BadPattern);
}

TEST(SearchNamePattern, WhatThePlatformLetsThroughWhole) {
  EXPECT_TRUE(MatchesEverything(L"*"));
  EXPECT_TRUE(MatchesEverything(L"*.*"));
  EXPECT_FALSE(MatchesEverything(L"*.txt"));
  EXPECT_FALSE(MatchesEverything(L"T"));
}

// A rule's names and exceptions: one fitting pattern is enough, one bad
// pattern spoils the list whatever the name, and no pattern takes nothing.
TEST(SearchNamePattern, ListsOfPatterns) {
  const std::vector<std::wstring> patterns{L"*.tmp", L"*.log"};
  EXPECT_EQ(FitsAnyPattern(L"a.log", patterns), PatternFit::Fits);
  EXPECT_EQ(FitsAnyPattern(L"a.LOG", patterns), PatternFit::DoesNotFit);
  EXPECT_EQ(FitsAnyPattern(L"a.tmp.txt", patterns), PatternFit::DoesNotFit);
  EXPECT_EQ(FitsAnyPattern(L"a.tmp", {L"*.tmp", L"[z-a]"}), PatternFit::BadPattern);
  EXPECT_EQ(FitsAnyPattern(L"a.tmp", {}), PatternFit::DoesNotFit);
}

}  // namespace
}  // namespace search
