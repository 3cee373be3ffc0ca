// Shortcut values: special folders, link paths, stored arguments, the
// removal shortcut of a save and the name it goes under.
#include "listfile/shortcut_plan.h"

#include <gtest/gtest.h>

#include <map>

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

TEST(ShortcutPlan, AListNeverTakesAnotherListsShortcutName) {
  using listfile::NameOwner;
  std::map<std::wstring, NameOwner> desktop;
  const auto choose = [&desktop](const std::wstring& listPath) {
    return listfile::ChooseShortcutName(L"Ombrelay Delete Files", listPath, [&desktop](const std::wstring& name) {
      const auto found = desktop.find(name);
      return found == desktop.end() ? NameOwner::Nobody : found->second;
    });
  };
  EXPECT_EQ(choose(L"C:\\Lists\\b.list.txt"), L"Ombrelay Delete Files");
  desktop[L"Ombrelay Delete Files"] = NameOwner::ThisList;
  EXPECT_EQ(choose(L"C:\\Lists\\b.list.txt"), L"Ombrelay Delete Files");
  desktop[L"Ombrelay Delete Files"] = NameOwner::OtherList;
  EXPECT_EQ(choose(L"C:\\Lists\\b.list.txt"), L"Ombrelay Delete Files - b.list");
  desktop[L"Ombrelay Delete Files - b.list"] = NameOwner::OtherList;
  desktop[L"Ombrelay Delete Files - b.list (2)"] = NameOwner::OtherList;
  EXPECT_EQ(choose(L"C:\\Lists\\b.list.txt"), L"Ombrelay Delete Files - b.list (3)");
  desktop[L"Ombrelay Delete Files - b.list (3)"] = NameOwner::ThisList;
  EXPECT_EQ(choose(L"C:\\Lists\\b.list.txt"), L"Ombrelay Delete Files - b.list (3)");
  int asked = 0;
  EXPECT_EQ(listfile::ChooseShortcutName(L"x", L"D:/c",
                                         [&asked](const std::wstring&) {
                                           ++asked;
                                           return NameOwner::OtherList;
                                         }),
            L"");
  EXPECT_EQ(asked, 1001);
  EXPECT_EQ(listfile::ListName(L"C:\\My Lists\\old list"), L"old list");
  EXPECT_EQ(listfile::ListName(L"C:\\x\\.hidden"), L".hidden");
  EXPECT_EQ(listfile::ListPathOfArguments(L"Remove Files*C:\\a b\\l.txt"), L"C:\\a b\\l.txt");
  EXPECT_EQ(listfile::ListPathOfArguments(L"Remove Files*C:\\l.txt*x"), L"C:\\l.txt");
  EXPECT_EQ(listfile::ListPathOfArguments(L"\"Remove Files*C:\\l.txt\""), L"");
}

}  // namespace
