// The folder an install may write into, given what the disk holds.
#include "installer/install_folder.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using installer::FolderLook;

TEST(InstallFolder, TheFolderItselfItsOwnOmbrelayOrNone) {
  const FolderLook empty{FolderLook::kFolder, true}, users{FolderLook::kFolder, false},
      ours{FolderLook::kFolder, false, true, true}, our_names{FolderLook::kFolder, false, false, true};
  const std::map<std::wstring, FolderLook> disk = {
      {L"C:\\Empty", empty},          {L"C:\\Tools\\Ombrelay", ours},  // an earlier install
      {L"C:\\Old\\Ombrelay", users},  // a list a former install left
      {L"C:\\Tools", our_names},      {L"D:\\", users},
      {L"C:\\Crowded", users},        {L"C:\\Crowded\\Ombrelay", our_names},  // the user's README.md
      {L"C:\\Taken", users},          {L"C:\\Taken\\Ombrelay", {FolderLook::kFile}},
      {L"C:\\Ombrelay", our_names}};
  const installer::LookAt look = [&](const std::wstring& folder) {
    const auto found = disk.find(folder);
    return found == disk.end() ? FolderLook{} : found->second;
  };
  const std::pair<const wchar_t*, const wchar_t*> cases[] = {
      {L"C:\\New\\", L"C:\\New"},           {L"C:\\Empty", L"C:\\Empty"},
      {L"C:\\Tools\\Ombrelay\\", L"C:\\Tools\\Ombrelay"},
      {L"C:\\Old\\ombrelay", L"C:\\Old\\ombrelay"},
      {L"C:\\Tools", L"C:\\Tools\\Ombrelay"}, {L"D:\\", L"D:\\Ombrelay"},
      {L"C:\\Crowded", L""},                {L"C:\\Taken", L""},
      {L"C:\\Ombrelay", L"C:\\Ombrelay\\Ombrelay"}, {L"", L""}};
  for (const auto& [asked, chosen] : cases) EXPECT_EQ(ChooseInstallFolder(asked, look), chosen) << asked;
}

}  // namespace
