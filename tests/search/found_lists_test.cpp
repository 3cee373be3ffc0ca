// The found lists: leaving out folders the user refused, with their contents.
#include "search/found_lists.h"

#include <gtest/gtest.h>

namespace {

using Paths = std::vector<std::wstring>;

TEST(FoundLists, LeavingOutAFolderTakesEverythingInsideItAndNothingElse) {
  search::FileList = {L"", L"C:\\T\\a", L"C:\\T\\Desk\\b", L"C:\\T\\Desk\\S\\c", L"C:\\T\\Desktop2\\d"};
  search::FolderList = {L"", L"C:\\T\\", L"C:\\T\\Desk\\", L"C:\\T\\Desk\\S\\", L"C:\\T\\Desktop2\\"};
  search::LeaveOutFolders({L"C:\\T\\Desk\\"});
  EXPECT_EQ(search::FileList, (Paths{L"", L"C:\\T\\a", L"C:\\T\\Desktop2\\d"}));
  EXPECT_EQ(search::FolderList, (Paths{L"", L"C:\\T\\", L"C:\\T\\Desktop2\\"}));
  search::LeaveOutFolders({});
  search::LeaveOutFolders({L""});
  EXPECT_EQ(search::UpperBound(search::FileList), 2u);
  search::ResetFoundLists();
}

}  // namespace
