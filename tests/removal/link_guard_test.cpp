// Items below a listed folder that is a link now: only the folders the list
// names count, whatever their spelling, and nothing else is blocked.
#include "removal/link_guard.h"

#include <gtest/gtest.h>

namespace removal {
namespace {

std::vector<size_t> IndicesOf(const LinkGuard& guard, std::initializer_list<const wchar_t*> folders) {
  std::vector<size_t> found;
  for (const wchar_t* folder : folders)
    for (size_t i = 0; i < guard.FoldersAbove().size(); ++i)
      if (guard.FoldersAbove()[i] == folder) found.push_back(i);
  return found;
}

TEST(LinkGuard, ItemsBelowAListedFolderThatIsALinkAreBlocked) {
  const std::vector<std::wstring> folders = {L"C:\\J\\sub\\deeper\\", L"C:\\J\\sub\\", L"C:\\J\\", L"C:\\K\\"};
  const std::vector<std::wstring> files = {L"C:\\J\\sub\\a.txt", L"c:/j/SUB/./deeper/b.txt", L"C:\\J\\c.txt",
                                           L"C:\\J\\sub.txt",    L"C:\\Other\\sub\\x.txt",   L"C:\\K.txt"};
  LinkGuard guard(folders, files);
  // C:\K\ holds no listed item: it needs no look at the disk.
  EXPECT_EQ(guard.FoldersAbove().size(), 3u);
  EXPECT_TRUE(guard.Blocked(files).empty());
  guard.SetLinks(IndicesOf(guard, {L"C:\\J\\sub\\"}));
  ASSERT_TRUE(guard.AnyLink());
  EXPECT_EQ(guard.Blocked(files), (std::vector<bool>{true, true, false, false, false, false}));
  // The link itself is not below itself; the folder in it is.
  EXPECT_EQ(guard.Blocked(folders), (std::vector<bool>{true, false, false, false}));
}

TEST(LinkGuard, TrailingDotsAndBlanksNameOtherFolders) {
  const std::vector<std::wstring> folders = {L"C:\\D\\dotdir.\\", L"C:\\D\\dotdir\\"};
  const std::vector<std::wstring> files = {L"C:\\D\\dotdir.\\a.txt", L"C:\\D\\dotdir\\a.txt"};
  LinkGuard guard(folders, files);
  guard.SetLinks(IndicesOf(guard, {L"C:\\D\\dotdir\\"}));
  EXPECT_EQ(guard.Blocked(files), (std::vector<bool>{false, true}));
}

}  // namespace
}  // namespace removal
