// Removal run logic: list path, password rule, pass order and the texts of
// the confirmation and the closing report.
#include "removal/removal_plan.h"

#include <gtest/gtest.h>

namespace {

using removal::Leftover;

TEST(RemovalPlan, ListPathIsTheSecondPiece) {
  EXPECT_EQ(removal::ListPathFromArguments(L"Remove Files*C:\\My Lists\\a b.txt"), L"C:\\My Lists\\a b.txt");
  EXPECT_EQ(removal::ListPathFromArguments(L"Remove Files"), L"");
  EXPECT_EQ(removal::ListPathFromArguments(L"Remove Files*"), L"");
  EXPECT_EQ(removal::ListPathFromArguments(L"Remove Files*a.txt*extra"), L"a.txt");
}

TEST(RemovalPlan, StoredPasswordIsTrimmedOfBlanksOnly) {
  EXPECT_TRUE(removal::PasswordMatches(L"pw", L"  pw  "));
  EXPECT_FALSE(removal::PasswordMatches(L"  pw", L"  pw  "));
  EXPECT_FALSE(removal::PasswordMatches(L"PW", L"pw"));
  EXPECT_FALSE(removal::PasswordMatches(L"pw", L"\tpw"));
  EXPECT_TRUE(removal::PasswordMatches(L"\tp w", L" \tp w "));
  // A stored password of blanks is matched by an empty box only.
  EXPECT_TRUE(removal::PasswordMatches(L"", L"   "));
  EXPECT_FALSE(removal::PasswordMatches(L" ", L"   "));
  EXPECT_TRUE(removal::PasswordMatches(L"", L""));
}

TEST(RemovalPlan, PassesRunBackwardsByTypeWordAlone) {
  removal::Plan plan = removal::MakePlan({{L"C:\\T\\", L"Folder"},
                                          {L"C:\\T\\S\\", L"Folder"},
                                          {L"C:\\T\\a", L"File"},
                                          {L"C:\\T\\S\\b", L"File"},
                                          {L"C:\\x", L"file"},
                                          {L"C:\\y", L""},
                                          {L"C:\\z", L"Folder "}});
  EXPECT_EQ(plan.files, (std::vector<std::wstring>{L"C:\\T\\S\\b", L"C:\\T\\a"}));
  EXPECT_EQ(plan.folders, (std::vector<std::wstring>{L"C:\\T\\S\\", L"C:\\T\\"}));
}

TEST(RemovalPlan, ConfirmationCountsFilesAndFolders) {
  removal::Plan plan;
  plan.files.assign(12, L"f");
  plan.folders.assign(3, L"d");
  EXPECT_EQ(removal::ConfirmationText(plan, L"C:\\Lists\\old.txt"),
            L"Are you sure you wish to remove your files?\n12 files and 3 folders are listed in C:\\Lists\\old.txt");
  plan.files.resize(1);
  plan.folders.resize(1);
  EXPECT_EQ(removal::ConfirmationText(plan, L"L"),
            L"Are you sure you wish to remove your files?\n1 file and 1 folder are listed in L");
}

TEST(RemovalPlan, ReportNamesTheFirstLeftoversWithTheirReasons) {
  std::vector<Leftover> left{{L"C:\\T\\ro.txt", L"read-only"}, {L"C:\\T\\", L"folder not empty"}};
  EXPECT_EQ(removal::LeftoverReport(left),
            L"2 items could not be removed:\n\nC:\\T\\ro.txt - read-only\nC:\\T\\ - folder not empty");
  EXPECT_EQ(removal::LeftoverReport({{L"a", L"in use by another program"}}),
            L"1 item could not be removed:\n\na - in use by another program");
  std::vector<Leftover> many(23, Leftover{L"p", L"r"});
  std::wstring text = removal::LeftoverReport(many, 20);
  EXPECT_EQ(text.find(L"23 items could not be removed:"), 0u);
  size_t lines = 0;
  for (size_t at = text.find(L"\np - r"); at != std::wstring::npos; at = text.find(L"\np - r", at + 1)) ++lines;
  EXPECT_EQ(lines, 20u);
  EXPECT_NE(text.find(L"\n... and 3 more."), std::wstring::npos);
}

TEST(RemovalPlan, ReasonsAndUnreadableList) {
  EXPECT_EQ(removal::ReasonText(5, false, L"x"), L"access denied");
  EXPECT_EQ(removal::ReasonText(5, true, L"x"), L"read-only");
  EXPECT_EQ(removal::ReasonText(32, false, L"x"), L"in use by another program");
  EXPECT_EQ(removal::ReasonText(145, false, L"x"), L"folder not empty");
  EXPECT_EQ(removal::ReasonText(1234, false, L"Some system text"), L"Some system text");
  std::wstring text = removal::UnreadableListText(L"C:\\L\\a.txt", L"File not found");
  EXPECT_NE(text.find(L"C:\\L\\a.txt"), std::wstring::npos);
  EXPECT_NE(text.find(L"File not found"), std::wstring::npos);
  EXPECT_NE(text.find(L"Nothing has been removed."), std::wstring::npos);
  EXPECT_NE(removal::UnreadableListText(L"", L"r").find(L"no list file"), std::wstring::npos);
}

}  // namespace
