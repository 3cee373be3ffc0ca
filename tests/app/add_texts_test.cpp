// The entry texts the add command builds, and its questions where the
// end-to-end tests do not reach them (a drive root). The texts of the
// questions themselves are checked where the user meets them, in the
// end-to-end tests of adding.
#include "app/add_texts.h"

#include <gtest/gtest.h>

#include "base/paths.h"

namespace app {
namespace {

// The folder text is what the command derives from the search pattern.
TEST(AddTexts, PatternFolderTextAndEntryOfAChosenFolder) {
  std::wstring pattern = SearchPatternFor(L"C:\\T");
  EXPECT_EQ(pattern, L"C:\\T\\*.*");
  EXPECT_EQ(base::paths::FolderPart(pattern), L"C:\\T");
  EXPECT_EQ(FolderEntryText(base::paths::FolderPart(pattern)), L"C:\\T\\");
}

TEST(AddTexts, DriveRootGetsOneSeparatorOnly) {
  std::wstring pattern = SearchPatternFor(L"D:\\");
  EXPECT_EQ(pattern, L"D:\\*.*");
  std::wstring folderText = base::paths::FolderPart(pattern);
  EXPECT_EQ(FolderEntryText(folderText), L"D:\\");
  EXPECT_EQ(FolderQuestion(folderText), L"Do you wish to remove the D:\\ folder if it has no files left in it?");
}

TEST(AddTexts, ChosenFilesGetTheirFolderWithOneSeparator) {
  // One file: the folder ends with "\"; several: it does not.
  EXPECT_EQ(ChosenPaths(L"C:\\Data\\", {L"", L"a.txt"}, 1), (std::vector<std::wstring>{L"C:\\Data\\a.txt"}));
  EXPECT_EQ(ChosenPaths(L"C:\\Data", {L"", L"b.txt", L"a.txt"}, 2),
            (std::vector<std::wstring>{L"C:\\Data\\b.txt", L"C:\\Data\\a.txt"}));
  EXPECT_EQ(ChosenPaths(L"C:\\", {L"", L"x"}, 1), (std::vector<std::wstring>{L"C:\\x"}));
  // A count beyond the names, or no names at all, adds nothing extra.
  EXPECT_EQ(ChosenPaths(L"C:\\Data", {L"", L"a"}, 5), (std::vector<std::wstring>{L"C:\\Data\\a"}));
  EXPECT_TRUE(ChosenPaths(L"", {}, 0).empty());
}

// A stopped search reports what its command had added by then; a later
// command recognises that report to replace it.
TEST(AddTexts, StoppedSearchSaysWhatWasAdded) {
  EXPECT_EQ(SearchStoppedText(0, 8), L"Search stopped: nothing was added.");
  EXPECT_EQ(SearchStoppedText(1, 9), L"Search stopped: 1 item was added; 9 items loaded...");
  EXPECT_EQ(SearchStoppedText(2, 2), L"Search stopped: 2 items were added; 2 items loaded...");
  EXPECT_TRUE(IsSearchStoppedText(SearchStoppedText(0, 0)));
  EXPECT_TRUE(IsSearchStoppedText(SearchStoppedText(3, 5)));
  EXPECT_FALSE(IsSearchStoppedText(L"9 items loaded..."));
  EXPECT_FALSE(IsSearchStoppedText(SearchingText(L"C:\\Search stopped:")));
}

}  // namespace
}  // namespace app
