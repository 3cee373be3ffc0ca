// A folder rule's choice of files: names, exceptions and age together.
#include "removal/rule_files.h"

#include <gtest/gtest.h>

namespace {

// One file's fate, as the rule's walk decides it.
bool RuleTakes(const listfile::FolderRule& rule, std::wstring_view name, uint64_t lastWritten, uint64_t now) {
  return removal::RuleChoice(rule).Takes(name, lastWritten, now);
}

TEST(RuleFiles, NamesExceptionsAndAgeTogether) {
  constexpr uint64_t kDay = 864000000000ULL;
  const uint64_t now = 1000 * kDay;
  listfile::FolderRule rule;
  rule.folder = L"C:\\T\\";
  EXPECT_TRUE(RuleTakes(rule, L"anything", now, now));  // all files, any age
  // No names: every file but the exceptions.
  rule.exceptions = {L"*.docx"};
  EXPECT_FALSE(RuleTakes(rule, L"REPORT.DOCX", now, now));
  EXPECT_TRUE(RuleTakes(rule, L"report.txt", now, now));
  // "*.*" is every file, a name without a dot too, as Windows users know it.
  rule.names = {L"*.*"};
  rule.exceptions = {};
  EXPECT_TRUE(RuleTakes(rule, L"Makefile", now, now));
  rule.exceptions = {L"*.docx"};
  EXPECT_FALSE(RuleTakes(rule, L"REPORT.DOCX", now, now));
  rule.names = {L"*.tmp", L"*.log"};
  rule.exceptions = {L"keep*"};
  rule.ageUnit = listfile::AgeUnit::Days;
  rule.age = 7;
  EXPECT_TRUE(RuleTakes(rule, L"a.log", now - 8 * kDay, now));
  EXPECT_FALSE(RuleTakes(rule, L"a.log", now - 6 * kDay, now));
  EXPECT_FALSE(RuleTakes(rule, L"keep.log", now - 8 * kDay, now));
  // Letter case is compared as the file system compares it, exceptions too.
  EXPECT_TRUE(RuleTakes(rule, L"A.TMP", now - 8 * kDay, now));
  EXPECT_FALSE(RuleTakes(rule, L"KEEP.\u00c4.LOG", now - 8 * kDay, now));
  rule.exceptions = {L"\u00e4*"};
  EXPECT_FALSE(RuleTakes(rule, L"\u00c4rger.log", now - 8 * kDay, now));
  rule.exceptions = {L"keep*"};
  EXPECT_FALSE(RuleTakes(rule, L"a.txt", now - 8 * kDay, now));
  EXPECT_EQ(removal::PatternsProblem(rule), L"");
  // An unusable exception takes nothing rather than everything.
  rule.exceptions = {L"[keep"};
  EXPECT_FALSE(RuleTakes(rule, L"a.log", now - 8 * kDay, now));
  EXPECT_NE(removal::PatternsProblem(rule), L"");
}

}  // namespace
