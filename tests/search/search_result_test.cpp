// A search's result: leaving out folders the user refused, with their contents.
#include "search/search_result.h"

#include <gtest/gtest.h>

namespace {

using Paths = std::vector<std::wstring>;

TEST(SearchResult, LeavingOutAFolderTakesEverythingInsideItAndNothingElse) {
  search::SearchResult found;
  found.files = {L"C:\\T\\a", L"C:\\T\\Desk\\b", L"C:\\T\\Desk\\S\\c", L"C:\\T\\Desktop2\\d"};
  found.folders = {L"C:\\T\\", L"C:\\T\\Desk\\", L"C:\\T\\Desk\\S\\", L"C:\\T\\Desktop2\\"};
  search::LeaveOutFolders(found, {L"C:\\T\\Desk\\"});
  EXPECT_EQ(found.files, (Paths{L"C:\\T\\a", L"C:\\T\\Desktop2\\d"}));
  EXPECT_EQ(found.folders, (Paths{L"C:\\T\\", L"C:\\T\\Desktop2\\"}));
  search::LeaveOutFolders(found, {});
  search::LeaveOutFolders(found, {L""});
  EXPECT_EQ(found.files.size(), 2u);
}

}  // namespace
