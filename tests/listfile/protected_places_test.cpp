// Protected locations, the portable part: what the question and the load
// warning say.
#include "listfile/protected_places.h"

#include <gtest/gtest.h>

namespace {

TEST(ProtectedTexts, TheQuestionNamesTheFolderAndWhatItHolds) {
  const std::wstring question = listfile::QuestionText(L"C:\\Users\\me\\Desktop", listfile::Place::Desktop);
  EXPECT_EQ(question.find(L"C:\\Users\\me\\Desktop is your Desktop folder. It holds the files on your desktop."), 0u)
      << question;
  EXPECT_NE(listfile::QuestionText(L"D:\\", listfile::Place::DriveRoot).find(L"the whole drive"), std::wstring::npos);
  EXPECT_EQ(listfile::PlaceHolds(listfile::Place::Windows), L"Windows itself");
}

TEST(ProtectedTexts, TheLoadWarningListsTheFirstFewAndCountsTheRest) {
  std::vector<listfile::Finding> findings{{L"C:\\windows\\", listfile::Place::Windows}};
  const std::wstring one = listfile::LoadWarningText(findings);
  EXPECT_NE(one.find(L"\nC:\\windows\\ (the Windows folder: Windows itself)\n"), std::wstring::npos) << one;
  EXPECT_EQ(one.find(L"more"), std::wstring::npos);
  for (int i = 0; i < 7; ++i) findings.push_back({L"D:\\" + std::to_wstring(i) + L"\\", listfile::Place::DriveRoot});
  const std::wstring many = listfile::LoadWarningText(findings);
  EXPECT_NE(many.find(L"D:\\3\\"), std::wstring::npos);
  EXPECT_EQ(many.find(L"D:\\4\\"), std::wstring::npos);
  EXPECT_NE(many.find(L"\n... and 3 more\n"), std::wstring::npos) << many;
}

}  // namespace
