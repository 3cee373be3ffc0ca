// Verbatim path forms: names are kept as written (trailing dots and blanks
// too), the spelling steps the prefixed form leaves alone are resolved here,
// and only full paths get the prefix.
#include "base/paths.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

TEST(VerbatimPath, FullPathsGetThePrefixWithEveryNameAsWritten) {
  EXPECT_EQ(base::paths::Verbatim(L"C:\\D\\report.docx."), L"\\\\?\\C:\\D\\report.docx.");
  EXPECT_EQ(base::paths::Verbatim(L"C:\\D\\notes "), L"\\\\?\\C:\\D\\notes ");
  EXPECT_EQ(base::paths::Verbatim(L"C:\\D\\dotdir.\\"), L"\\\\?\\C:\\D\\dotdir.");
  EXPECT_EQ(base::paths::Verbatim(L"c:/x//y/./z/../w..."), L"\\\\?\\c:\\x\\y\\w...");
  EXPECT_EQ(base::paths::Verbatim(L"C:\\..\\..\\a"), L"\\\\?\\C:\\a");
  EXPECT_EQ(base::paths::Verbatim(L"C:\\"), L"\\\\?\\C:\\");
  EXPECT_EQ(base::paths::Verbatim(L"\\\\srv\\share\\a. \\b"), L"\\\\?\\UNC\\srv\\share\\a. \\b");
  EXPECT_EQ(base::paths::Verbatim(L"//srv/share/"), L"\\\\?\\UNC\\srv\\share\\");
  EXPECT_EQ(base::paths::Verbatim(L"\\\\srv\\share"), L"\\\\?\\UNC\\srv\\share\\");
  EXPECT_EQ(base::paths::Verbatim(L"C:\\x\\."), L"\\\\?\\C:\\x");
}

TEST(VerbatimPath, OtherPathsStayAsTheyAre) {
  for (const wchar_t* path :
       {L"\\\\?\\C:\\x.", L"\\\\.\\PhysicalDrive0", L"relative\\a.", L"C:rel", L"\\\\srv", L"", L"\\\\srv\\\\x"})
    EXPECT_EQ(base::paths::Verbatim(path), path);
}

TEST(VerbatimPath, RootsFullPathsAndNamesThePlainFormWouldChange) {
  EXPECT_EQ(base::paths::Root(L"C:\\a\\b"), L"C:\\");
  EXPECT_EQ(base::paths::Root(L"\\\\?\\Q:\\x"), L"Q:\\");
  EXPECT_EQ(base::paths::Root(L"\\\\?\\UNC\\srv\\share\\x"), L"\\\\srv\\share\\");
  EXPECT_EQ(base::paths::Root(L"a\\b"), L"");
  EXPECT_TRUE(base::paths::HasNameThatPlainFormChanges(L"C:\\D\\report.docx."));
  EXPECT_TRUE(base::paths::HasNameThatPlainFormChanges(L"C:\\dotdir.\\a.txt"));
  EXPECT_TRUE(base::paths::HasNameThatPlainFormChanges(L"C:\\D\\notes "));
  EXPECT_FALSE(base::paths::HasNameThatPlainFormChanges(L"C:\\D\\.\\..\\.hidden\\a.txt"));
  EXPECT_FALSE(base::paths::HasNameThatPlainFormChanges(L"C:\\D\\a b\\c"));
  EXPECT_EQ(base::paths::WithoutTrailingDotsAndBlanks(L"C:\\dotdir. .\\.\\..\\a b\\x.log. \\"),
            L"C:\\dotdir\\.\\..\\a b\\x.log\\");
  for (const wchar_t* full : {L"c:/x", L"\\\\?\\unc\\srv\\s", L"\\\\srv/share", L"\\\\?\\C:\\", L"//srv/share"})
    EXPECT_TRUE(base::paths::IsFullPath(full)) << full;
  for (const wchar_t* other :
       {L"C:x", L"\\\\srv\\", L"\\\\?\\Volume{1}\\x", L"\\\\?\\UNC\\\\s", L"1:\\x", L"\\\\.\\C:\\x"})
    EXPECT_FALSE(base::paths::IsFullPath(other)) << other;
}

TEST(PathPieces, JoinWithOneBackslashAndLeaveClosingOnesOffButOnRoots) {
  EXPECT_EQ(base::paths::JoinPath(L"C:\\Lists\\", L"a.txt"), L"C:\\Lists\\a.txt");
  EXPECT_EQ(base::paths::JoinPath(L"C:\\Lists", L"a.txt"), L"C:\\Lists\\a.txt");
  EXPECT_EQ(base::paths::JoinPath(L"C:\\Lists\\", L"\\a.txt"), L"C:\\Lists\\a.txt");
  EXPECT_EQ(base::paths::JoinPath(L"", L""), L"");
  EXPECT_EQ(base::paths::JoinPath(L"", L"a.txt"), L"a.txt");
  EXPECT_EQ(base::paths::WithoutSeparator(L"C:\\T\\a"), L"C:\\T\\a");
  EXPECT_EQ(base::paths::WithoutSeparator(L"C:\\T\\S1\\\\"), L"C:\\T\\S1");
  EXPECT_EQ(base::paths::WithoutSeparator(L"C:\\"), L"C:\\");
  EXPECT_EQ(base::paths::Verbatim(L"C:\\T\\dotdir.\\"), L"\\\\?\\C:\\T\\dotdir.");
  EXPECT_EQ(base::paths::Verbatim(L"C:\\"), L"\\\\?\\C:\\");
}

TEST(PathPieces, FolderPartDropsTheLastNameAndLastNameLeavesClosingSeparatorsOff) {
  EXPECT_EQ(base::paths::FolderPart(L"C:\\Data\\old.txt"), L"C:\\Data");
  EXPECT_EQ(base::paths::FolderPart(L"C:\\Data\\"), L"C:\\Data");
  EXPECT_EQ(base::paths::FolderPart(L"C:\\old.txt"), L"C:");
  EXPECT_EQ(base::paths::FolderPart(L"old.txt"), L"");
  EXPECT_EQ(base::paths::FolderPart(L""), L"");
  EXPECT_EQ(base::paths::FolderPart(L"C:\\T\\*.*"), L"C:\\T");
  EXPECT_EQ(base::paths::FolderPart(L"C:/T/a"), L"C:/T");
  EXPECT_EQ(base::paths::LastName(L"C:\\a\\b\\/"), L"b");
  EXPECT_EQ(base::paths::LastName(L"C:\\"), L"C:");
  EXPECT_EQ(base::paths::LastName(L"C:/a/b.txt"), L"b.txt");
  EXPECT_EQ(base::paths::LastName(L"\\"), L"");
}

TEST(PathPieces, ParentOfKeepsItsClosingSeparatorAndShellPathHasNoPrefix) {
  const std::pair<const wchar_t*, const wchar_t*> parents[] = {
      {L"C:\\a\\b\\", L"C:\\a\\"}, {L"C:\\a\\b.txt", L"C:\\a\\"}, {L"b.txt", L""}};
  for (const auto& [path, parent] : parents) EXPECT_EQ(base::paths::ParentOf(path), parent) << path;
  const std::pair<const wchar_t*, const wchar_t*> shell[] = {{L"\\\\?\\C:\\a\\.\\b\\", L"C:\\a\\b"},
                                                             {L"\\\\?\\UNC\\srv\\share\\x", L"\\\\srv\\share\\x"},
                                                             {L"rel\\a\\", L"rel\\a"}};
  for (const auto& [path, plain] : shell) EXPECT_EQ(base::paths::ShellPath(path), plain) << path;
}

// One fold for keys and for compared names: all of Unicode, one code unit
// to one, ASCII and the rest alike.
TEST(PathKey, SameTextComparesByTheOneFold) {
  EXPECT_TRUE(base::paths::SameText(L"Program Files", L"PROGRAM files"));
  EXPECT_TRUE(base::paths::SameText(L"a\u00e4\u0434", L"A\u00c4\u0414"));
  EXPECT_FALSE(base::paths::SameText(L"a\u00e4", L"a\u00e5"));
  EXPECT_FALSE(base::paths::SameText(L"ab", L"ab "));
  EXPECT_TRUE(base::paths::SameText(L"x\u0101", L"X\u0100"));
}

TEST(PlainSpelling, VariantsOfOneFolderBecomeOneSpelling) {
  for (const wchar_t* variant :
       {L"C:\\Windows", L"C:\\Windows\\", L"C:/Windows/", L"\\\\?\\C:\\Windows\\\\", L"\\\\.\\C:\\Windows"})
    EXPECT_EQ(base::paths::PlainSpelling(variant), L"C:\\Windows") << variant;
  for (const wchar_t* root : {L"C:", L"C:\\", L"C:/", L"\\\\?\\C:\\", L"C:\\\\"})
    EXPECT_EQ(base::paths::PlainSpelling(root), L"C:\\") << root;
  EXPECT_EQ(base::paths::PlainSpelling(L"\\\\?\\UNC\\srv\\share\\Users\\"), L"\\\\srv\\share\\Users");
  EXPECT_EQ(base::paths::PlainSpelling(L"//srv/share"), L"\\\\srv\\share\\");
  EXPECT_EQ(base::paths::PlainSpelling(L"relative\\"), L"relative");
}

TEST(PlainSpelling, DepthCountsTheNamesBelowTheRoot) {
  EXPECT_EQ(base::paths::Depth(L"C:\\"), 0u);
  EXPECT_EQ(base::paths::Depth(L"\\\\srv\\share\\"), 0u);
  EXPECT_EQ(base::paths::Depth(L"C:\\Windows"), 1u);
  EXPECT_EQ(base::paths::Depth(L"C:\\Users\\me\\Desktop"), 3u);
  EXPECT_EQ(base::paths::Depth(L"\\\\srv\\share\\Users\\me"), 2u);
  EXPECT_EQ(base::paths::RootLength(L"C:\\Users"), 3u);
  EXPECT_EQ(base::paths::RootLength(L"Users"), 0u);
  EXPECT_EQ(base::paths::RootNameEnd(L"C:\\Users"), 2u);
  EXPECT_EQ(base::paths::RootNameEnd(L"\\\\srv\\share\\x"), 11u);
}

TEST(PlainSpelling, OnlyPathsThePlatformWouldLeaveAloneCountAsPlainFull) {
  for (const wchar_t* full : {L"C:\\", L"C:\\Users\\me\\Desktop", L"C:\\a.b\\.c"})
    EXPECT_TRUE(base::paths::IsPlainFull(full)) << full;
  for (const wchar_t* other : {L"C:", L"C:Users", L"Users", L"\\\\srv\\share\\x", L"C:\\a\\..\\b", L"C:\\a\\.",
                               L"C:\\Desktop.", L"C:\\Desktop ", L"C:\\a\\\\b", L"C:\\a\\"})
    EXPECT_FALSE(base::paths::IsPlainFull(other)) << other;
}

// One item, however it is written: separators, steps, a closing separator
// and letter case over all of Unicode; a trailing dot is another name.
TEST(PathKey, SpellingsOfOneItemCompareEqual) {
  using base::paths::SamePath;
  EXPECT_TRUE(SamePath(L"C:\\P\\\u00c4rger\\", L"c:/p/./x/../\u00e4RGER"));
  EXPECT_TRUE(SamePath(L"\\\\?\\C:\\\u0391\u0416", L"C:\\\u03b1\u0436"));
  EXPECT_TRUE(SamePath(L"\\\\srv\\Share\\a", L"\\\\?\\UNC\\SRV\\share\\A"));
  EXPECT_FALSE(SamePath(L"C:\\D\\report.docx.", L"C:\\D\\report.docx"));
  EXPECT_FALSE(SamePath(L"C:\\D\\a", L"C:\\D\\a b"));
  EXPECT_EQ(base::paths::PathKey(L"C:\\"), L"C:");
  EXPECT_EQ(base::paths::ParentEnd(L"C:\\T\\S\\"), 4u);
  EXPECT_EQ(base::paths::ParentEnd(L"C:/T/a"), 4u);
  EXPECT_EQ(base::paths::ParentEnd(L"rel"), std::wstring::npos);
}

// Every spelling a user, a console or a hand-edited list may give one item
// comes to one canonical form, one key and one form for the file system,
// and no form for the file system ends in a separator but on a root.
TEST(CanonicalPath, GeneratedSpellingsOfOneItemGiveOneKeyAndOneApiForm) {
  struct Item {
    std::wstring canonical, upper;  // upper: the same item in other letter case
  };
  const Item items[] = {
      {L"C:\\Data\\\u00c4rger\\cache", L"c:\\DATA\\\u00e4RGER\\CACHE"},
      {L"C:\\Data\\\u03b1\u0436 \\x.", L"C:\\DATA\\\u0391\u0416 \\X."},
      {L"\\\\srv\\share\\Lists\\old", L"\\\\SRV\\Share\\lists\\OLD"},
      {L"D:\\", L"d:\\"},
  };
  std::mt19937 random(20261209);
  for (const Item& item : items) {
    const std::wstring key = base::paths::PathKey(item.canonical);
    const std::wstring api = base::paths::Verbatim(item.canonical);
    const bool root = base::paths::Root(item.canonical) == item.canonical;
    EXPECT_EQ(base::paths::Canonical(item.canonical), item.canonical);
    for (int n = 0; n < 400; ++n) {
      const bool unc = item.canonical[0] == L'\\';
      std::wstring spelling = n % 2 ? item.upper : item.canonical;
      // Steps that lead back: "\." and "\x\.." after a name (never in the root).
      const size_t body = unc ? base::paths::Root(item.canonical).size() : 3;
      std::vector<size_t> ends;
      for (size_t i = body; i <= spelling.size(); ++i)
        if (i == spelling.size() || spelling[i] == L'\\') ends.push_back(i);
      if (!root && random() % 2) spelling.insert(ends[random() % ends.size()], random() % 2 ? L"\\." : L"\\x\\..");
      // Any mix of separators, a repeated one, closing ones.
      if (random() % 3 == 0) spelling.insert(body, L"\\");
      const int closing = static_cast<int>(random() % 3);
      for (int c = 0; c < closing; ++c) spelling += L'\\';
      for (size_t i = unc && random() % 2 ? 0 : 2; i < spelling.size(); ++i)
        if (spelling[i] == L'\\' && random() % 2) spelling[i] = L'/';
      // The verbatim prefix.
      if (random() % 4 == 0) {
        std::wstring plain = spelling;
        if (unc) plain.replace(0, 2, L"UNC\\");
        spelling = L"\\\\?\\" + plain;
      }
      EXPECT_EQ(base::paths::PathKey(spelling), key) << spelling;
      EXPECT_TRUE(base::paths::SamePath(spelling, item.canonical)) << spelling;
      if (n % 2) continue;  // letter case is the key's business, not the spelling's
      EXPECT_EQ(base::paths::Canonical(spelling), item.canonical) << spelling;
      EXPECT_EQ(base::paths::Verbatim(spelling), api) << spelling;
      EXPECT_EQ(base::paths::Verbatim(spelling), api) << spelling;
      if (!root) {
        EXPECT_FALSE(base::paths::IsSeparator(api.back())) << spelling;
      }
    }
  }
}

}  // namespace
