// Splitting the search path into start folder and pattern, against a small
// stand-in file system that answers like the platform does.
#include "search/file_spec.h"

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>

namespace search {
namespace {

constexpr uint32_t kHidden = 0x2;
constexpr uint32_t kFile = 0x20;

// Paths are kept exactly as the platform would spell them, folders without
// their closing "\" (except drive roots).
class FakeDisk : public PathProbe {
 public:
  FakeDisk() {
    attributes_ = {
        {L"C:\\", kDirectoryBit},      {L"C:\\T", kDirectoryBit},           {L"C:\\T\\a", kFile},
        {L"C:\\T\\S1", kDirectoryBit}, {L"C:\\H", kDirectoryBit | kHidden}, {L"\\\\srv\\share", kDirectoryBit}};
  }
  std::wstring FullPathName(const std::wstring& path) override {
    if (path == L"boom") throw std::runtime_error("lookup failed");
    if (path == L"C:") return L"C:\\T";  // the current folder of drive C
    if (path.compare(0, 2, L"\\\\") == 0 || (path.size() >= 2 && path[1] == L':')) return path;
    return L"C:\\T\\" + path;  // relative to the current folder C:\T
  }
  uint32_t Attributes(const std::wstring& path) override {
    auto it = attributes_.find(path);
    return it == attributes_.end() ? kNoAttributes : it->second;
  }
  // Folders list "." first unless hidden; drive roots have no "." entry.
  std::wstring FirstListedName(const std::wstring& path) override {
    std::wstring folder = path;
    std::wstring pattern = L"*.*";
    if (folder.back() != L'\\') {
      size_t cut = folder.rfind(L'\\');
      pattern = folder.substr(cut + 1);
      folder = folder.substr(0, cut + 1);
    }
    folder = Qualify(folder);
    if (folder == L"C:\\" || folder == L"C:\\H") return pattern == L"T" ? L"T" : L"";
    if (Attributes(folder) == kNoAttributes) return L"";
    if (pattern == L"*.*" || pattern == L"*" || pattern == L".*") return L".";
    return Attributes(folder + L"\\" + pattern) != kNoAttributes ? pattern : L"";
  }

 private:
  std::map<std::wstring, uint32_t> attributes_;
};

struct Split {
  bool ok;
  std::wstring folder, spec;
  long flag;
};

Split SplitPath(const std::wstring& path) {
  FakeDisk disk;
  Split s{false, path, L"", DirExSuccess};
  s.ok = FileSpec(disk, s.folder, s.spec, s.flag);
  return s;
}

void ExpectSplit(const std::wstring& path, const std::wstring& folder, const std::wstring& spec) {
  Split s = SplitPath(path);
  EXPECT_TRUE(s.ok) << path.c_str();
  EXPECT_EQ(s.folder, folder);
  EXPECT_EQ(s.spec, spec);
  EXPECT_EQ(s.flag, DirExSuccess);
}

TEST(SearchQualify, DrivesAndClosingSeparators) {
  EXPECT_EQ(Qualify(L""), L"");
  EXPECT_EQ(Qualify(L"C:"), L"C:\\");
  EXPECT_EQ(Qualify(L"C:\\"), L"C:\\");
  EXPECT_EQ(Qualify(L"C:\\Data\\"), L"C:\\Data");
  EXPECT_EQ(Qualify(L"C:\\Data"), L"C:\\Data");
  EXPECT_EQ(Qualify(L"C:\\Data\\\\"), L"C:\\Data\\");  // only one separator goes
}

TEST(SearchPartPos, FilePartAfterTheLastSeparator) {
  using base::paths::FilePartPos;
  EXPECT_EQ(FilePartPos(L"C:\\T"), 4u);
  EXPECT_EQ(FilePartPos(L"C:\\T\\*.*"), 6u);
  EXPECT_EQ(FilePartPos(L"C:\\T\\"), 6u);
  EXPECT_EQ(FilePartPos(L"C:\\"), 4u);
  EXPECT_EQ(FilePartPos(L"\\\\srv\\share\\x.txt"), 13u);
  EXPECT_EQ(FilePartPos(L"\\\\srv\\share\\"), 13u);
  // The share itself is never taken for a file part.
  EXPECT_EQ(FilePartPos(L"\\\\srv\\share"), 12u);
  EXPECT_EQ(FilePartPos(L""), 1u);
}

TEST(SearchExistFile, RequiredBitsAndMissingPaths) {
  FakeDisk disk;
  EXPECT_FALSE(ExistFile(disk, L""));
  EXPECT_TRUE(ExistFile(disk, L"C:\\T\\"));
  EXPECT_TRUE(ExistFile(disk, L"C:\\T", kDirectoryBit));
  EXPECT_TRUE(ExistFile(disk, L"C:\\T\\a"));
  EXPECT_FALSE(ExistFile(disk, L"C:\\T\\a", kDirectoryBit));
  EXPECT_FALSE(ExistFile(disk, L"C:\\Nope"));
  EXPECT_TRUE(ExistFile(disk, L"C:"));
}

TEST(SearchFileSpec, CaseAFolderWithPatternOrClosingSeparator) {
  ExpectSplit(L"C:\\T\\*.*", L"C:\\T", L"*.*");
  ExpectSplit(L"C:\\T\\", L"C:\\T", L"*.*");
  ExpectSplit(L"C:\\T\\*", L"C:\\T", L"*.*");
}

TEST(SearchFileSpec, CaseBExistingFileOrFolderIsSearchedInItsParent) {
  ExpectSplit(L"C:\\T", L"C:\\", L"T");
  ExpectSplit(L"C:\\T\\a", L"C:\\T", L"a");
  ExpectSplit(L"a", L"C:\\T", L"a");  // relative to the current folder
  ExpectSplit(L"C:\\", L"C:\\", L"*.*");
  ExpectSplit(L"C:", L"C:\\", L"T");
  ExpectSplit(L"\\\\srv\\share", L"\\\\srv\\share", L"*.*");
  // A hidden folder's "." is hidden: its closing "\" leads here instead of case A.
  ExpectSplit(L"C:\\H\\", L"C:\\H", L"*.*");
}

TEST(SearchFileSpec, CaseCPatternInAnExistingFolder) {
  ExpectSplit(L"C:\\T\\*.txt", L"C:\\T", L"*.txt");
  ExpectSplit(L"C:\\T\\S?", L"C:\\T", L"S?");
  ExpectSplit(L"C:\\H\\*.*", L"C:\\H", L"*.*");
  ExpectSplit(L"C:\\T\\missing", L"C:\\T", L"missing");
}

TEST(SearchFileSpec, MissingFolderIsNotValid) {
  for (const wchar_t* path : {L"C:\\Nope\\*.*", L"C:\\Nope\\x\\", L"Q:\\"}) {
    Split s = SplitPath(path);
    EXPECT_FALSE(s.ok) << path;
    EXPECT_EQ(s.flag, PathNameNotValid);
    EXPECT_EQ(s.folder, path);  // left as the caller gave it
  }
}

TEST(SearchFileSpec, LookUpFailureEndsTheSplit) {
  Split s = SplitPath(L"boom");
  EXPECT_FALSE(s.ok);
  EXPECT_EQ(s.flag, DirExFailed);
}

}  // namespace
}  // namespace search
