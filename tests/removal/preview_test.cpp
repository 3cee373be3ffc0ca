// The preview's model: words, totals per drive, sorting, type-to-find and
// the text Copy gives.
#include "removal/preview.h"

#include <gtest/gtest.h>

namespace removal {
namespace {

std::wstring Bytes(std::uint64_t n) { return std::to_wstring(n) + L" B"; }

Fate Removed(const std::wstring& path, std::uint64_t bytes) { return {path, false, Outcome::Remove, bytes, L""}; }
Fate RemovedFolder(const std::wstring& path) { return {path, true, Outcome::Remove, 0, L""}; }
Fate Gone(const std::wstring& path) { return {path, false, Outcome::Gone, 0, L""}; }
Fate Stays(const std::wstring& path, const std::wstring& reason, bool folder = false) {
  return {path, folder, Outcome::Stay, 0, reason};
}

std::vector<std::wstring> Paths(const Preview& preview) {
  std::vector<std::wstring> paths;
  for (size_t i = 0; i < preview.Count(); ++i) paths.push_back(preview.Cell(i, Column::Path));
  return paths;
}

TEST(Preview, RowsAndTotalsPerDriveOrShare) {
  const Preview preview({Removed(L"C:\\a\\x.txt", 100), RemovedFolder(L"c:\\a\\"), Removed(L"\\\\srv\\Share\\y", 5),
                         Removed(L"\\\\SRV\\share\\z", 7), Removed(L"\\\\?\\D:\\w", 1), Gone(L"C:\\gone.txt"),
                         Stays(L"rel.txt", L"not a full path"), Stays(L"Q:\\", L"the drive is not there", true)},
                        Bytes);
  EXPECT_EQ(preview.Cell(0, Column::Outcome), L"will be removed");
  EXPECT_EQ(preview.Cell(0, Column::Size), L"100 B");
  EXPECT_EQ(preview.Cell(1, Column::Size), L"folder");
  EXPECT_EQ(preview.Cell(5, Column::Outcome), L"already gone");
  EXPECT_EQ(preview.Cell(5, Column::Size), L"");
  EXPECT_EQ(preview.Cell(6, Column::Outcome), L"will stay: not a full path");
  EXPECT_EQ(preview.Cell(6, Column::Size), L"");
  EXPECT_EQ(preview.Cell(7, Column::Size), L"folder");
  const PreviewTotals& t = preview.Totals();
  EXPECT_EQ(t.files, 4u);
  EXPECT_EQ(t.folders, 1u);
  EXPECT_EQ(t.bytes, 113u);
  EXPECT_EQ(t.gone, 1u);
  EXPECT_EQ(t.stay, 2u);
  EXPECT_EQ(TotalsText(t, Bytes),
            L"Will be removed: 4 files and 1 folder, 113 B\r\n"
            L"C: 1 file and 1 folder, 100 B; \\\\srv\\Share 2 files and 0 folders, 12 B; D: 1 file and 0 folders, 1 B"
            L"\r\nAlready gone: 1. Will stay: 2.");
  EXPECT_EQ(TotalsText(Tally({}), Bytes),
            L"Will be removed: 0 files and 0 folders, 0 B\r\n\r\nAlready gone: 0. Will stay: 0.");
  PreviewTotals many;
  many.files = 95000;
  many.gone = 5000;
  many.stay = 1;
  many.listed = 1200;
  EXPECT_EQ(TotalsText(many, Bytes, {L"\u00a0", L"3;0"}),
            L"Will be removed: 95\u00a0000 files and 0 folders, 0 B\r\n\r\n"
            L"Already gone: 5\u00a0000. Will stay: 1. Listed again: 1\u00a0200.");
}

TEST(Preview, SortsEachColumnBothWaysKeepingTheRunsOrderForTies) {
  Preview preview(
      {Removed(L"b.txt", 5), Stays(L"A.txt", L"read-only folder"), Removed(L"a.txt", 5), RemovedFolder(L"c\\"),
       Gone(L"D.txt"), Stays(L"e.txt", L"a device, not a file or folder"), Removed(L"f.txt", 1)},
      Bytes);
  EXPECT_FALSE(preview.Sorted());
  // Upper and lower case are one letter; equal paths keep the run's order.
  preview.SortBy(Column::Path);
  EXPECT_EQ(Paths(preview),
            (std::vector<std::wstring>{L"A.txt", L"a.txt", L"b.txt", L"c\\", L"D.txt", L"e.txt", L"f.txt"}));
  preview.SortBy(Column::Path);
  EXPECT_FALSE(preview.Ascending());
  EXPECT_EQ(Paths(preview),
            (std::vector<std::wstring>{L"f.txt", L"e.txt", L"D.txt", L"c\\", L"b.txt", L"A.txt", L"a.txt"}));
  preview.SortBy(Column::Size);
  EXPECT_TRUE(preview.Ascending());
  EXPECT_EQ(Paths(preview),
            (std::vector<std::wstring>{L"A.txt", L"D.txt", L"e.txt", L"c\\", L"f.txt", L"b.txt", L"a.txt"}));
  preview.SortBy(Column::Size);
  EXPECT_EQ(Paths(preview),
            (std::vector<std::wstring>{L"b.txt", L"a.txt", L"f.txt", L"c\\", L"A.txt", L"D.txt", L"e.txt"}));
  preview.SortBy(Column::Outcome);
  EXPECT_EQ(Paths(preview),
            (std::vector<std::wstring>{L"b.txt", L"a.txt", L"c\\", L"f.txt", L"D.txt", L"e.txt", L"A.txt"}));
}

TEST(Preview, TypeToFindMatchesThePathsStartFromTheGivenRowAndWraps) {
  const Preview preview({Removed(L"C:\\Data\\one", 1), Removed(L"C:\\data\\two", 1), Removed(L"D:\\data\\x", 1)},
                        Bytes);
  EXPECT_EQ(preview.Find(L"c:\\DATA", 0), 0u);
  EXPECT_EQ(preview.Find(L"c:\\DATA", 1), 1u);
  EXPECT_EQ(preview.Find(L"c:\\data", 2), 0u);
  EXPECT_EQ(preview.Find(L"d", 99), 2u);
  EXPECT_EQ(preview.Find(L"data", 0), Preview::kNone);  // within a path is no match
  EXPECT_EQ(preview.Find(L"", 0), Preview::kNone);
}

TEST(Preview, CopyGivesTheRowsAsShownOneLineEach) {
  Preview preview({Removed(L"C:\\b", 3), Stays(L"tab\there\nline", L"not a full path"), Gone(L"C:\\a")}, Bytes);
  preview.SortBy(Column::Path);
  EXPECT_EQ(preview.CopyText(),
            L"Path\tOutcome\tSize\r\n"
            L"C:\\a\talready gone\t\r\n"
            L"C:\\b\twill be removed\t3 B\r\n"
            L"tab here line\twill stay: not a full path\t\r\n");
}

}  // namespace
}  // namespace removal
