// The folder an install may write into, given what the disk holds.
#include "installer/install_folder.h"

#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "base/paths.h"

namespace {

using installer::FolderLook;
using installer::InstallFolder;

// The fake disk finds a name in any letter case, as the file system does.
struct Folded {
  bool operator()(const std::wstring& a, const std::wstring& b) const {
    return base::paths::FoldCase(a) < base::paths::FoldCase(b);
  }
};

TEST(InstallFolder, TheFolderItselfItsOwnOmbrelayOrNone) {
  const FolderLook empty{FolderLook::kFolder, true}, users{FolderLook::kFolder, false},
      ours{FolderLook::kFolder, false, true, true}, our_names{FolderLook::kFolder, false, false, true},
      file{FolderLook::kFile};
  const std::map<std::wstring, FolderLook, Folded> disk = {
      {L"C:\\Empty", empty},         {L"C:\\Tools\\Ombrelay", ours},  // an earlier install
      {L"C:\\Old\\Ombrelay", users},                                  // a list a former install left
      {L"C:\\Tools", our_names},     {L"D:\\", users},
      {L"C:\\Crowded", users},       {L"C:\\Crowded\\Ombrelay", our_names},  // the user's README.md
      {L"C:\\Taken", users},         {L"C:\\Taken\\Ombrelay", file},
      {L"C:\\Ombrelay", our_names},  {L"C:\\MyOmbrelay", users},
      {L"C:\\Data\\notes.txt", file}};
  const installer::LookAt look = [&](const std::wstring& folder) {
    const auto found = disk.find(folder);
    return found == disk.end() ? FolderLook{} : found->second;
  };
  const auto none = InstallFolder::kNone, is_file = InstallFolder::kFile, crowded = InstallFolder::kCrowded,
             not_full = InstallFolder::kNotFull;
  const std::tuple<const wchar_t*, InstallFolder::Refusal, const wchar_t*> cases[] = {
      {L"C:\\New\\", none, L"C:\\New"},
      {L"C:\\Empty", none, L"C:\\Empty"},
      {L"C:\\Tools\\Ombrelay\\", none, L"C:\\Tools\\Ombrelay"},
      {L"C:\\Old\\ombrelay", none, L"C:\\Old\\ombrelay"},  // the name rule, in another letter case
      {L"C:\\MyOmbrelay", none, L"C:\\MyOmbrelay\\Ombrelay"},
      {L"C:\\Tools", none, L"C:\\Tools\\Ombrelay"},
      {L"D:\\", none, L"D:\\Ombrelay"},
      {L"C:\\Crowded", crowded, L""},
      {L"C:\\Taken", crowded, L""},
      {L"C:\\Ombrelay", none, L"C:\\Ombrelay\\Ombrelay"},
      {L"C:\\Data\\Notes.txt\\", is_file, L"C:\\Data\\Notes.txt"},
      {L"C:\\Data\\notes.txt\\New\\Ombrelay", is_file, L"C:\\Data\\notes.txt"},  // a file on the way
      {L"Tools", not_full, L""},
      {L"C:Tools", not_full, L""},
      {L"", not_full, L""}};
  for (const auto& [asked, refusal, chosen] : cases) {
    const InstallFolder answer = ChooseInstallFolder(asked, look);
    EXPECT_EQ(std::make_pair(answer.refusal, answer.path), std::make_pair(refusal, std::wstring(chosen))) << asked;
  }
}

}  // namespace
