// Removal run logic: list path, password rule, pass order and the texts of
// the confirmation and the closing report.
#include "removal/listed_path.h"
#include "removal/removal_plan.h"

#include <gtest/gtest.h>

namespace {

using removal::Leftover;

TEST(RemovalPlan, ListPathIsTheSecondPiece) {
  EXPECT_EQ(removal::ListPathFromArguments(L"Remove Files*C:\\My Lists\\a b.txt"), L"C:\\My Lists\\a b.txt");
  EXPECT_EQ(removal::ListPathFromArguments(L"Remove Files"), L"");
  EXPECT_EQ(removal::ListPathFromArguments(L"Remove Files*"), L"");
  EXPECT_EQ(removal::ListPathFromArguments(L"Remove Files*a.txt*extra"), L"a.txt");
  // Typed in a console, the argument comes quoted whole or around the path.
  EXPECT_EQ(removal::ListPathFromArguments(L"\"Remove Files*C:\\My Lists\\a b.txt\""), L"C:\\My Lists\\a b.txt");
  EXPECT_EQ(removal::ListPathFromArguments(L"Remove Files*\"C:\\My Lists\\a b.txt\""), L"C:\\My Lists\\a b.txt");
  EXPECT_EQ(removal::ListPathFromArguments(L"Remove Files*\"C:\\a.txt"), L"\"C:\\a.txt");
  EXPECT_EQ(removal::ListPathFromArguments(L"\""), L"");
}

TEST(RemovalPlan, PasswordsAreComparedWithoutSurroundingBlanks) {
  EXPECT_TRUE(removal::PasswordMatches(L"pw", L"  pw  "));
  EXPECT_TRUE(removal::PasswordMatches(L" pass word ", L" pass word "));
  EXPECT_TRUE(removal::PasswordMatches(L"  pw", L"pw "));
  EXPECT_FALSE(removal::PasswordMatches(L"pass  word", L"pass word"));
  EXPECT_FALSE(removal::PasswordMatches(L"PW", L"pw"));
  EXPECT_FALSE(removal::PasswordMatches(L"pw", L"\tpw"));
  EXPECT_TRUE(removal::PasswordMatches(L"\tp w", L" \tp w "));
  EXPECT_TRUE(removal::PasswordMatches(L" ", L"   "));
  EXPECT_TRUE(removal::PasswordMatches(L"", L""));
}

TEST(RemovalPlan, PassesRunBackwardsByTypeWordAloneTakingEachItemOnce) {
  removal::Plan plan = removal::MakePlan({{L"C:\\T\\", L"Folder"},
                                          {L"C:\\T\\S\\", L"Folder"},
                                          {L"C:\\T\\a", L"File"},
                                          {L"C:\\T\\S\\b", L"File"},
                                          {L"C:\\x", L"file"},
                                          {L"C:\\y", L""},
                                          {L"C:\\z", L"Folder "},
                                          {L"C:/t/./A", L"File"},
                                          {L"C:\\T\\S", L"Folder"},
                                          {L"C:\\\u00c4rger\\x", L"File"},
                                          {L"C:\\\u00e4rger\\X", L"File"},
                                          {L"C:\\T\\a.", L"File"}});
  // Later records come first; a second spelling of an item is set aside.
  EXPECT_EQ(plan.files, (std::vector<std::wstring>{L"C:\\T\\a.", L"C:\\\u00e4rger\\X", L"C:/t/./A", L"C:\\T\\S\\b"}));
  EXPECT_EQ(plan.folders, (std::vector<std::wstring>{L"C:\\T\\S", L"C:\\T\\"}));
  std::vector<std::wstring> aside;
  for (const removal::SetAside& r : plan.setAside) aside.push_back(r.path + (r.duplicate ? L" again" : L" other"));
  EXPECT_EQ(aside, (std::vector<std::wstring>{L"C:\\\u00c4rger\\x again", L"C:\\z other", L"C:\\y other",
                                              L"C:\\x other", L"C:\\T\\a again", L"C:\\T\\S\\ again"}));
  EXPECT_EQ(removal::ConfirmationText(plan, L"L"),
            L"Are you sure you wish to remove your files?\n4 files and 2 folders are listed in L");
  // A long list is keyed in two shares: a second spelling in the other
  // share is still the same item.
  std::vector<listfile::Record> many;
  for (int i = 0; i < 30000; ++i)
    many.push_back({L"C:\\F\\" + std::to_wstring(i % 20000), i % 7 ? L"File" : L"Folder"});
  many.push_back({L"c:/f/19999", L"File"});
  plan = removal::MakePlan(std::move(many));
  // 20,000 names; 2,857 of the second 10,000 records change type; one more spelling of a file.
  EXPECT_EQ(plan.files.size() + plan.folders.size(), 22858u);
  EXPECT_EQ(plan.setAside.size(), 30001u - 22858u);
  EXPECT_EQ(plan.files.front(), L"c:/f/19999");
  // The confirmation writes its counts in the user's style.
  std::vector<listfile::Record> counted{{L"C:\\F\\", L"Folder"}};
  for (int i = 0; i < 1234; ++i) counted.push_back({L"C:\\F\\" + std::to_wstring(i), L"File"});
  EXPECT_EQ(removal::ConfirmationText(removal::MakePlan(std::move(counted)), L"L", nullptr, {L".", L"3;0"}),
            L"Are you sure you wish to remove your files?\n1.234 files and 1 folder are listed in L");
}

TEST(RemovalPlan, RulesThatParseJoinThePlanAndTheRestIsSetAside) {
  const std::wstring rule = L"D:\\Cache\\|Rule|names=:.tmp|except=|age=7d|subfolders=yes|emptied=no";
  removal::Plan plan = removal::MakePlan(removal::RunRecords(
      {L"D:\\Cache\\a.tmp|File", rule, L"D:\\Old\\|Rule|names=:.tmp|except=|age=0d|subfolders=yes|emptied=no",
       L"D:\\Bad\\|Rule|names=[z-a]|except=|age=|subfolders=no|emptied=no", L"D:\\Odd\\|Rules|names=|x"}));
  ASSERT_EQ(plan.rules.size(), 1u);
  EXPECT_EQ(listfile::RuleRecordText(plan.rules[0].rule), rule);
  EXPECT_EQ(plan.files, (std::vector<std::wstring>{L"D:\\Cache\\a.tmp"}));
  std::vector<std::wstring> aside;
  for (const removal::SetAside& r : plan.setAside) aside.push_back(r.path + (r.duplicate ? L" again" : L" other"));
  // An age of 0, a pattern range written backwards, an unknown type word: never acted on.
  EXPECT_EQ(aside, (std::vector<std::wstring>{L"D:\\Odd\\ other", L"D:\\Bad\\ other", L"D:\\Old\\ other"}));
  // A list of rules alone is not empty; the confirmation says what the rules do, counting what they took apart.
  EXPECT_EQ(removal::ConfirmationText(plan, L"L"),
            L"Are you sure you wish to remove your files?\n1 file and 0 folders are listed in L\n"
            L"1 rule takes what its folder holds when the run starts.");
  // What a preview found is told while the list has the very rules it walked.
  plan.rules[0].files = 3;
  plan.rules[0].folders = 1;
  removal::RulesForeseen foreseen = removal::ForeseenOf(plan, L"8 bytes");
  plan.rules[0].files = 0;
  plan.rules[0].folders = 0;
  EXPECT_EQ(removal::ConfirmationText(plan, L"L", &foreseen),
            L"Are you sure you wish to remove your files?\n1 file and 0 folders are listed in L\n"
            L"1 rule takes what its folder holds when the run starts: at the preview, 3 files and 1 folder (8 bytes).");
  foreseen.records[0] += L"x";
  EXPECT_EQ(removal::ConfirmationText(plan, L"L", &foreseen),
            L"Are you sure you wish to remove your files?\n1 file and 0 folders are listed in L\n"
            L"1 rule takes what its folder holds when the run starts.");
  plan.rules.push_back(plan.rules[0]);
  plan.rules[1].files = 2;
  plan.files.assign(3, L"f");
  plan.folders.assign(2, L"d");
  plan.ruleOfFolder.assign(1, 1);
  EXPECT_EQ(removal::ConfirmationText(plan, L"L"),
            L"Are you sure you wish to remove your files?\n1 file and 1 folder are listed in L\n"
            L"2 rules take what their folders hold when the run starts.");
  // The account: what the rules took, and per rule where something stayed.
  EXPECT_EQ(removal::RulesAccountText({{L"D:\\A\\", 1200, 0}, {L"D:\\B\\", 3, 2}}, {L".", L"3;0"}),
            L"Of them, 2 rules took 1.203 items.\nD:\\B\\: 2 of its 5 items stayed.");
  EXPECT_EQ(removal::RulesAccountText({}, {}), L"");
  // One line each, for the run log; a folder's line break stays in its line.
  EXPECT_EQ(
      removal::RulesAccountLines({{L"D:\\A\\", 1200, 0}, {L"D:\\B\nC\\", 3, 2}}, {L".", L"3;0"}),
      (std::vector<std::wstring>{L"Of them, 2 rules took 1.203 items.", L"D:\\B\nC\\: 2 of its 5 items stayed."}));
  EXPECT_TRUE(removal::RulesAccountLines({}, {}).empty());
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
  // A path of any length shows shortened in the middle.
  std::wstring huge = L"C:\\" + std::wstring(100000, L'x') + L"\\end.txt";
  text = removal::LeftoverReport({{huge, L"the path is too long"}});
  EXPECT_LT(text.size(), 400u);
  EXPECT_NE(text.find(L"C:\\xxx"), std::wstring::npos);
  EXPECT_NE(text.find(L"...xxx"), std::wstring::npos);
  EXPECT_NE(text.find(L"x\\end.txt - the path is too long"), std::wstring::npos);
}

TEST(RemovalPlan, NumbersAreGroupedAsTheLocaleGroupsThem) {
  const removal::NumberStyle english;
  EXPECT_EQ(removal::GroupedNumber(0, english), L"0");
  EXPECT_EQ(removal::GroupedNumber(999, english), L"999");
  EXPECT_EQ(removal::GroupedNumber(1000, english), L"1,000");
  EXPECT_EQ(removal::GroupedNumber(105051, english), L"105,051");
  EXPECT_EQ(removal::GroupedNumber(18446744073709551615ull, english), L"18,446,744,073,709,551,615");
  EXPECT_EQ(removal::GroupedNumber(1234567, {L"\u00a0", L"3;0"}), L"1\u00a0234\u00a0567");
  EXPECT_EQ(removal::GroupedNumber(123456789, {L",", L"3;2;0"}), L"12,34,56,789");
  EXPECT_EQ(removal::GroupedNumber(1234567, {L".", L"3"}), L"1234.567");
  EXPECT_EQ(removal::GroupedNumber(1234567, {L",", L"0"}), L"1234567");
  EXPECT_EQ(removal::GroupedNumber(1234567, {L",", L""}), L"1234567");
}

TEST(RemovalPlan, TheClosingMessageGivesTheAccountOfWhatWasRemoved) {
  removal::Account account{100000, 5051, L"1.2 GB", false};
  const std::wstring removed = removal::AccountText(account, {});
  EXPECT_EQ(removed, L"Removed 105,051 items: 100,000 files (1.2 GB) and 5,051 folders.");
  EXPECT_EQ(removal::ClosingText(removed, false, 105051, {}), L"Done\n\n" + removed);
  account = {1, 0, L"5 bytes", true};
  EXPECT_EQ(removal::AccountText(account, {}), L"Moved to the Recycle Bin 1 item: 1 file (5 bytes) and 0 folders.");
  account = {0, 1, L"0 bytes", false};
  EXPECT_EQ(removal::AccountText(account, {}), L"Removed 1 item: 0 files (0 bytes) and 1 folder.");
  // What stayed is listed below the account; a stopped run keeps its first line above it.
  const std::vector<Leftover> left{{L"C:\\T\\", L"folder not empty"}};
  EXPECT_EQ(removal::ClosingText(L"A.", false, 3, left),
            L"A.\n\n1 item could not be removed:\n\nC:\\T\\ - folder not empty");
  EXPECT_EQ(removal::ClosingText(L"A.", true, 3, left),
            L"The run was stopped. 3 items were removed.\n\nA.\n\n1 item was left:\n\nC:\\T\\ - folder not empty");
  EXPECT_EQ(removal::ClosingText(L"A.", true, 1, {}), L"The run was stopped. 1 item was removed.\n\nA.");
  // Every number in the user's own grouping.
  EXPECT_EQ(
      removal::ClosingText(L"A.", true, 18788, std::vector<Leftover>(1200, Leftover{L"p", L"r"}), 0, {L".", L"3;0"}),
      L"The run was stopped. 18.788 items were removed.\n\nA.\n\n1.200 items were left:\n\n... and 1.200 more.");
  EXPECT_EQ(removal::HeldText(1, 4, true), L"it holds 1 item that is not in the list");
  EXPECT_EQ(removal::HeldText(0, 3, true), L"it holds 3 listed items that will stay");
  EXPECT_EQ(removal::HeldText(0, 3, false), L"folder not empty");
}

TEST(RemovalPlan, FullReportIsNamedAfterTheListAndHoldsEveryItem) {
  const removal::ReportTime at{2026, 12, 8, 9, 5, 3};
  EXPECT_EQ(removal::ReportFileName(L"C:\\My Lists\\old list.txt", at),
            L"old list - not removed 2026-12-08 09.05.03.txt");
  EXPECT_EQ(removal::ReportFileName(L"C:\\L\\.txt", at), L".txt - not removed 2026-12-08 09.05.03.txt");
  EXPECT_EQ(removal::ReportFileName(L"", at), L"list - not removed 2026-12-08 09.05.03.txt");
  EXPECT_EQ(removal::ReportFileName(L"C:\\L\\a.b.txt", at, 2), L"a.b - not removed 2026-12-08 09.05.03 (2).txt");
  std::vector<Leftover> many;
  for (int i = 0; i < 25; ++i) many.push_back({L"C:\\f" + std::to_wstring(i), L"in use by another program"});
  const std::wstring text = removal::FullReportText(many, L"C:\\l.txt", at);
  EXPECT_EQ(text.find(L"Removal run of 2026-12-08 09:05:03\r\nDelete list: C:\\l.txt\r\n25 items"), 0u);
  EXPECT_NE(text.find(L"\r\nC:\\f24 - in use by another program\r\n"), std::wstring::npos);
  EXPECT_EQ(removal::ReportPlaceText(L"C:\\T\\r.txt", L""), L"The full list is in C:\\T\\r.txt");
  EXPECT_NE(removal::ReportPlaceText(L"C:\\T\\r.txt", L"Disk full").find(L"could not be written"), std::wstring::npos);
}

TEST(RemovalPlan, OnlyLocksAndPendingDeletesMayPass) {
  EXPECT_TRUE(removal::MayPass(32, false));
  EXPECT_TRUE(removal::MayPass(33, false));
  EXPECT_TRUE(removal::MayPass(303, false));
  EXPECT_TRUE(removal::MayPass(5, false));
  EXPECT_FALSE(removal::MayPass(5, true));
  EXPECT_FALSE(removal::MayPass(145, false));
  EXPECT_FALSE(removal::MayPass(2, false));
  unsigned total = 0;
  for (unsigned pause : removal::kRetryPausesMs) total += pause;
  EXPECT_LE(total, 1000u);
}

TEST(ListedPath, OnlyFullPathsToFilesAreTried) {
  for (const wchar_t* fine :
       {L"C:\\a.txt", L"c:/a/b.txt", L"C:\\T\\", L"\\\\server\\share\\a.txt", L"\\\\?\\C:\\long\\a.txt",
        L"\\\\?\\UNC\\srv\\share\\a", L"C:\\CONSOLE.txt", L"C:\\com10", L"C:\\a\\CON\\b.txt"})
    EXPECT_EQ(removal::PathRefusal(fine), L"") << fine;
  EXPECT_EQ(removal::PathRefusal(L""), L"no path is given");
  for (const wchar_t* relative : {L"a.txt", L"lists\\a.txt", L"C:a.txt", L"\\a.txt", L"\\\\server", L"\\\\?\\a"})
    EXPECT_EQ(removal::PathRefusal(relative), L"not a full path") << relative;
  for (const wchar_t* device : {L"CON", L"NUL", L"C:\\T\\nul.txt", L"C:\\T\\Com1", L"C:\\lpt9 .log",
                                L"\\\\.\\PhysicalDrive0", L"\\\\?\\GLOBALROOT\\Device\\X", L"C:\\T\\CON\\"})
    EXPECT_EQ(removal::PathRefusal(device), L"a device, not a file or folder") << device;
  EXPECT_EQ(removal::PathRefusal(std::wstring(L"C:\\a.txt\0b", 10)), L"the name is not valid");
  EXPECT_EQ(removal::PathRefusal(L"C:\\a?.txt"), L"the name is not valid");
  EXPECT_EQ(removal::PathRefusal(L"C:\\a.txt:stream"), L"the name is not valid");
  EXPECT_EQ(removal::PathRefusal(L"C:\\" + std::wstring(40000, L'a')), L"the path is too long");
  EXPECT_EQ(removal::PathRefusal(L"C:\\" + std::wstring(32000, L'a')), L"");
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
