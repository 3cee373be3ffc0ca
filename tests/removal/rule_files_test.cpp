// A folder rule's choice of files: names, exceptions and age together.
#include "removal/rule_files.h"

#include <gtest/gtest.h>

namespace {

TEST(RuleFiles, NamesExceptionsAndAgeTogether) {
  constexpr uint64_t kDay = 864000000000ULL;
  const uint64_t now = 1000 * kDay;
  listfile::FolderRule rule;
  rule.folder = L"C:\\T\\";
  EXPECT_TRUE(removal::RuleTakes(rule, L"anything", now, now));  // all files, any age
  rule.names = {L"*.tmp", L"*.log"};
  rule.exceptions = {L"keep*"};
  rule.ageUnit = listfile::AgeUnit::Days;
  rule.age = 7;
  EXPECT_TRUE(removal::RuleTakes(rule, L"a.log", now - 8 * kDay, now));
  EXPECT_FALSE(removal::RuleTakes(rule, L"a.log", now - 6 * kDay, now));
  EXPECT_FALSE(removal::RuleTakes(rule, L"keep.log", now - 8 * kDay, now));
  EXPECT_FALSE(removal::RuleTakes(rule, L"a.TMP", now - 8 * kDay, now));  // names are taken exactly
  EXPECT_FALSE(removal::RuleTakes(rule, L"a.txt", now - 8 * kDay, now));
  EXPECT_EQ(removal::PatternsProblem(rule), L"");
  // An unusable exception takes nothing rather than everything.
  rule.exceptions = {L"[keep"};
  EXPECT_FALSE(removal::RuleTakes(rule, L"a.log", now - 8 * kDay, now));
  EXPECT_NE(removal::PatternsProblem(rule), L"");
}

}  // namespace
