// Folder rules: the record written and read back, the strict reading of
// hostile records, the typed patterns, the summary and the age.
#include "listfile/folder_rule.h"

#include <gtest/gtest.h>

namespace listfile {
namespace {

const wchar_t kFull[] = L"D:\\Cache\\|Rule|names=:.tmp;:.log|except=keep?.[!x]:|age=7d|subfolders=yes|emptied=no";

FolderRule Sample() {
  FolderRule rule;
  rule.folder = L"D:\\Cache\\";
  rule.names = {L"*.tmp", L"*.log"};
  rule.exceptions = {L"keep?.[!x]*"};
  rule.ageUnit = AgeUnit::Days;
  rule.age = 7;
  return rule;
}

bool Parses(const std::wstring& text) {
  FolderRule rule;
  return ParseRule(text, rule);
}

TEST(FolderRule, RecordWrittenAndReadBack) {
  EXPECT_EQ(RuleRecordText(Sample()), kFull);
  FolderRule back;
  ASSERT_TRUE(ParseRule(kFull, back));
  EXPECT_EQ(RuleRecordText(back), kFull);
  EXPECT_EQ(back.names, Sample().names);
  EXPECT_EQ(back.exceptions, Sample().exceptions);
  // The defaults: all files, no exception, any age; hours and a share too.
  FolderRule plain;
  plain.folder = L"\\\\srv\\share\\logs\\";
  plain.subfolders = false;
  plain.removeEmptied = true;
  plain.ageUnit = AgeUnit::Hours;
  plain.age = kMostAgeHours;
  const std::wstring text = RuleRecordText(plain);
  EXPECT_EQ(text, L"\\\\srv\\share\\logs\\|Rule|names=|except=|age=876000h|subfolders=no|emptied=yes");
  ASSERT_TRUE(ParseRule(text, back));
  EXPECT_TRUE(back.names.empty());
  EXPECT_EQ(back.age, kMostAgeHours);
  EXPECT_TRUE(back.removeEmptied);
  EXPECT_FALSE(back.subfolders);
  EXPECT_EQ(RuleRecordText(back), text);
}

// Anything off the format is not understood, and the rule handed in is
// left as it was.
TEST(FolderRule, HostileRecordsAreNotUnderstood) {
  const wchar_t* hostile[] = {
      L"",
      L"D:\\Cache\\|Rule",
      L"D:\\Cache\\|rule|names=|except=|age=|subfolders=yes|emptied=no",
      L"D:\\Cache\\|Rule|names=|except=|age=|subfolders=yes|emptied=no|",
      L"D:\\Cache\\|Rule|names=|except=|age=|subfolders=yes|emptied=no|more=1",
      L"D:\\Cache\\|Rule|except=|names=|age=|subfolders=yes|emptied=no",
      L"D:\\Cache\\|Rule|names=*.tmp|except=|age=|subfolders=yes|emptied=no",
      L"D:\\Cache\\|Rule|names=:.tmp;|except=|age=|subfolders=yes|emptied=no",
      L"D:\\Cache\\|Rule|names=;|except=|age=|subfolders=yes|emptied=no",
      L"D:\\Cache\\|Rule|names=a\\b|except=|age=|subfolders=yes|emptied=no",
      L"D:\\Cache\\|Rule|names=|except=a/b|age=|subfolders=yes|emptied=no",
      L"D:\\Cache\\|Rule|names=|except=|age=0d|subfolders=yes|emptied=no",
      L"D:\\Cache\\|Rule|names=|except=|age=-7d|subfolders=yes|emptied=no",
      L"D:\\Cache\\|Rule|names=|except=|age=07d|subfolders=yes|emptied=no",
      L"D:\\Cache\\|Rule|names=|except=|age=7|subfolders=yes|emptied=no",
      L"D:\\Cache\\|Rule|names=|except=|age=d|subfolders=yes|emptied=no",
      L"D:\\Cache\\|Rule|names=|except=|age=7w|subfolders=yes|emptied=no",
      L"D:\\Cache\\|Rule|names=|except=|age=7D|subfolders=yes|emptied=no",
      L"D:\\Cache\\|Rule|names=|except=|age= 7d|subfolders=yes|emptied=no",
      L"D:\\Cache\\|Rule|names=|except=|age=36501d|subfolders=yes|emptied=no",
      L"D:\\Cache\\|Rule|names=|except=|age=876001h|subfolders=yes|emptied=no",
      L"D:\\Cache\\|Rule|names=|except=|age=99999999999999999999d|subfolders=yes|emptied=no",
      L"D:\\Cache\\|Rule|names=|except=|age=|subfolders=Yes|emptied=no",
      L"D:\\Cache\\|Rule|names=|except=|age=|subfolders=yes|emptied=",
      L"|Rule|names=|except=|age=|subfolders=yes|emptied=no",
      L"Cache\\|Rule|names=|except=|age=|subfolders=yes|emptied=no",
      L"\\\\.\\PhysicalDrive0|Rule|names=|except=|age=|subfolders=yes|emptied=no",
      L"D:\\Ca?he\\|Rule|names=|except=|age=|subfolders=yes|emptied=no",
      L"D:\\Cache\\*|Rule|names=|except=|age=|subfolders=yes|emptied=no",
  };
  for (const wchar_t* text : hostile) {
    FolderRule rule = Sample();
    EXPECT_FALSE(ParseRule(text, rule)) << text;
    EXPECT_EQ(RuleRecordText(rule), kFull) << text;
  }
  EXPECT_TRUE(Parses(L"D:\\|Rule|names=|except=|age=1h|subfolders=no|emptied=no"));
}

// What the dialog takes in: blanks around patterns, empty pieces; patterns
// and ages the record could not hold are refused with a reason.
TEST(FolderRule, TypedFieldsAndTheirProblems) {
  EXPECT_EQ(SplitTypedPatterns(L" *.tmp ;; *.log;  "), (std::vector<std::wstring>{L"*.tmp", L"*.log"}));
  EXPECT_TRUE(SplitTypedPatterns(L" ; ").empty());
  EXPECT_EQ(JoinPatterns({L"*.tmp", L"*.log"}), L"*.tmp; *.log");
  EXPECT_EQ(RuleProblem(Sample()), L"");
  FolderRule rule = Sample();
  rule.folder.clear();
  EXPECT_NE(RuleProblem(rule), L"");
  rule = Sample();
  rule.folder = L"Cache";
  EXPECT_NE(RuleProblem(rule), L"");
  for (const wchar_t* pattern : {L"a:b", L"a|b", L"sub\\*.tmp", L"", L"a\tb"}) {
    rule = Sample();
    rule.exceptions.push_back(pattern);
    EXPECT_NE(RuleProblem(rule), L"") << pattern;
  }
  rule = Sample();
  rule.ageUnit = AgeUnit::Hours;
  rule.age = kMostAgeHours + 1;
  EXPECT_EQ(RuleProblem(rule), L"The age must be a whole number from 1 to 876000 hours.");
  rule.age = 0;
  EXPECT_NE(RuleProblem(rule), L"");
}

TEST(FolderRule, Summary) {
  EXPECT_EQ(RuleSummary(Sample()), L"*.tmp; *.log, except keep?.[!x]*, older than 7 days, with subfolders");
  FolderRule rule;
  rule.folder = L"C:\\T\\";
  rule.subfolders = false;
  EXPECT_EQ(RuleSummary(rule), L"all files");
  rule.ageUnit = AgeUnit::Hours;
  rule.age = 1;
  rule.subfolders = rule.removeEmptied = true;
  EXPECT_EQ(RuleSummary(rule), L"all files, older than 1 hour, with subfolders, emptied subfolders removed");
}

// The clock is handed in: a file must be older than the age, by a tick at
// least; a file from the future, and the largest ages, never wrap round.
TEST(FolderRule, AgeArithmetic) {
  constexpr uint64_t kHour = 36000000000ULL;
  const uint64_t now = 133500000000000000ULL;  // 2024
  FolderRule rule = Sample();                  // 7 days
  EXPECT_EQ(AgeTicks(rule), 7 * 24 * kHour);
  EXPECT_FALSE(OldEnough(rule, now - 7 * 24 * kHour, now));
  EXPECT_TRUE(OldEnough(rule, now - 7 * 24 * kHour - 1, now));
  EXPECT_FALSE(OldEnough(rule, now + kHour, now));
  EXPECT_TRUE(OldEnough(rule, 0, now));
  rule.ageUnit = AgeUnit::Hours;
  rule.age = 3;
  EXPECT_TRUE(OldEnough(rule, now - 3 * kHour - 1, now));
  EXPECT_FALSE(OldEnough(rule, now - 2 * kHour, now));
  rule.ageUnit = AgeUnit::Days;
  rule.age = kMostAgeDays;
  EXPECT_EQ(AgeTicks(rule), uint64_t{kMostAgeDays} * 24 * kHour);
  EXPECT_FALSE(OldEnough(rule, 0, uint64_t{kMostAgeDays} * 24 * kHour));
  rule.ageUnit = AgeUnit::None;
  rule.age = 0;
  EXPECT_EQ(AgeTicks(rule), 0u);
  EXPECT_TRUE(OldEnough(rule, now + kHour, now));
}

}  // namespace
}  // namespace listfile
