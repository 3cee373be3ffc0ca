// Shortcut values: special folders, link paths, stored arguments and the
// removal shortcut of a save.
#include "listfile/shortcut_plan.h"

#include <gtest/gtest.h>

namespace {

TEST(ShortcutPlan, LocationCodesAndLinkPaths) {
  EXPECT_STREQ(listfile::SpecialFolderName(0), L"Desktop");
  EXPECT_STREQ(listfile::SpecialFolderName(1), L"Programs");
  EXPECT_STREQ(listfile::SpecialFolderName(2), L"StartMenu");
  EXPECT_STREQ(listfile::SpecialFolderName(3), L"StartUp");
  EXPECT_EQ(listfile::SpecialFolderName(4), nullptr);
  EXPECT_EQ(listfile::SpecialFolderName(-1), nullptr);
  // No special folder: the link path begins with "\".
  EXPECT_EQ(listfile::LinkPath(L"", L"x"), L"\\x.lnk");
  EXPECT_EQ(listfile::LinkPath(L"C:\\users\\u\\Desktop", L"a b"), L"C:\\users\\u\\Desktop\\a b.lnk");
}

TEST(ShortcutPlan, ArgumentsOfBlanksAreNotStored) {
  EXPECT_FALSE(listfile::ArgumentsStored(L""));
  EXPECT_FALSE(listfile::ArgumentsStored(L"   "));
  EXPECT_TRUE(listfile::ArgumentsStored(L" x "));
  EXPECT_TRUE(listfile::ArgumentsStored(L"\t"));
}

TEST(ShortcutPlan, RemovalShortcutOfASave) {
  listfile::RemovalShortcut link =
      listfile::MakeRemovalShortcut(L"C:\\Program Files\\Ombrelay\\Ombrelay.EXE", L"C:\\My Lists\\old list");
  EXPECT_EQ(link.name, L"Ombrelay Delete Files");
  EXPECT_EQ(link.target, L"C:\\Program Files\\Ombrelay\\Ombrelay.exe");
  EXPECT_EQ(link.iconLocation, L"C:\\Program Files\\Ombrelay\\Ombrelay.exe,0");
  EXPECT_EQ(link.workingDirectory, link.target);
  EXPECT_EQ(link.arguments, L"Remove Files*C:\\My Lists\\old list");
  EXPECT_EQ(listfile::ProgramBaseName(L"C:\\a.b\\tool.v2.exe"), L"tool.v2");
  EXPECT_EQ(listfile::ProgramBaseName(L"tool"), L"tool");
}

}  // namespace
