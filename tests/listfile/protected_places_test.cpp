// Protected locations, the portable part: one spelling per folder, depth,
// and what the question and the load warning say.
#include "listfile/protected_places.h"

#include <gtest/gtest.h>

namespace {

using listfile::Depth;
using listfile::PlainSpelling;

TEST(ProtectedSpelling, VariantsOfOneFolderBecomeOneSpelling) {
  for (const wchar_t* variant : {L"C:\\Windows", L"C:\\Windows\\", L"C:/Windows/", L"\\\\?\\C:\\Windows\\\\",
                                 L"\\\\.\\C:\\Windows"})
    EXPECT_EQ(PlainSpelling(variant), L"C:\\Windows") << variant;
  for (const wchar_t* root : {L"C:", L"C:\\", L"C:/", L"\\\\?\\C:\\", L"C:\\\\"})
    EXPECT_EQ(PlainSpelling(root), L"C:\\") << root;
  EXPECT_EQ(PlainSpelling(L"\\\\?\\UNC\\srv\\share\\Users\\"), L"\\\\srv\\share\\Users");
  EXPECT_EQ(PlainSpelling(L"//srv/share"), L"\\\\srv\\share\\");
  EXPECT_EQ(PlainSpelling(L"relative\\"), L"relative");
}

TEST(ProtectedSpelling, DepthCountsTheNamesBelowTheRoot) {
  EXPECT_EQ(Depth(L"C:\\"), 0u);
  EXPECT_EQ(Depth(L"\\\\srv\\share\\"), 0u);
  EXPECT_EQ(Depth(L"C:\\Windows"), 1u);
  EXPECT_EQ(Depth(L"C:\\Users\\me\\Desktop"), 3u);
  EXPECT_EQ(Depth(L"\\\\srv\\share\\Users\\me"), 2u);
  EXPECT_EQ(listfile::RootLength(L"C:\\Users"), 3u);
  EXPECT_EQ(listfile::RootLength(L"Users"), 0u);
}

TEST(ProtectedSpelling, OnlyPathsThePlatformWouldLeaveAloneCountAsPlainFull) {
  for (const wchar_t* full : {L"C:\\", L"C:\\Users\\me\\Desktop", L"C:\\a.b\\.c"})
    EXPECT_TRUE(listfile::IsPlainFull(full)) << full;
  for (const wchar_t* other : {L"C:", L"C:Users", L"Users", L"\\\\srv\\share\\x", L"C:\\a\\..\\b", L"C:\\a\\.",
                               L"C:\\Desktop.", L"C:\\Desktop ", L"C:\\a\\\\b", L"C:\\a\\"})
    EXPECT_FALSE(listfile::IsPlainFull(other)) << other;
}

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
