// The folder an install may write into, given what the disk holds.
#include "installer/install_folder.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using installer::FolderLook;

// A disk of a few folders; any other path is missing.
struct Disk {
  std::map<std::wstring, FolderLook> at;
  installer::LookAt Look() const {
    return [this](const std::wstring& folder) {
      const auto found = at.find(folder);
      return found == at.end() ? FolderLook{} : found->second;
    };
  }
};

FolderLook Folder(bool empty, bool holds_install = false, bool holds_our_names = false) {
  return {FolderLook::kFolder, empty, holds_install, holds_our_names};
}

TEST(InstallFolder, TakesTheFolderWhenNothingOfTheUsersIsInIt) {
  Disk disk;
  disk.at[L"C:\\Empty"] = Folder(true);
  disk.at[L"C:\\Tools\\Ombrelay"] = Folder(false, true, true);  // an earlier install
  disk.at[L"C:\\Old\\Ombrelay"] = Folder(false);                // a list left by a former install
  EXPECT_EQ(ChooseInstallFolder(L"C:\\New\\", disk.Look()), L"C:\\New");
  EXPECT_EQ(ChooseInstallFolder(L"C:\\Empty", disk.Look()), L"C:\\Empty");
  EXPECT_EQ(ChooseInstallFolder(L"C:\\Tools\\Ombrelay\\", disk.Look()), L"C:\\Tools\\Ombrelay");
  EXPECT_EQ(ChooseInstallFolder(L"C:\\Old\\ombrelay", disk.Look()), L"C:\\Old\\ombrelay");
  EXPECT_EQ(ChooseInstallFolder(L"", disk.Look()), L"");
}

TEST(InstallFolder, AFolderOfTheUsersGetsOneOfItsOwnOrNone) {
  Disk disk;
  disk.at[L"C:\\Tools"] = Folder(false, false, true);
  disk.at[L"D:\\"] = Folder(false);
  disk.at[L"C:\\Crowded"] = Folder(false);
  disk.at[L"C:\\Crowded\\Ombrelay"] = Folder(false, false, true);  // the user's README.md
  disk.at[L"C:\\Taken"] = Folder(false);
  disk.at[L"C:\\Taken\\Ombrelay"] = {FolderLook::kFile};
  disk.at[L"C:\\Ombrelay"] = Folder(false, false, true);
  EXPECT_EQ(ChooseInstallFolder(L"C:\\Tools", disk.Look()), L"C:\\Tools\\Ombrelay");
  EXPECT_EQ(ChooseInstallFolder(L"D:\\", disk.Look()), L"D:\\Ombrelay");
  EXPECT_EQ(ChooseInstallFolder(L"C:\\Crowded", disk.Look()), L"");
  EXPECT_EQ(ChooseInstallFolder(L"C:\\Taken", disk.Look()), L"");
  EXPECT_EQ(ChooseInstallFolder(L"C:\\Ombrelay", disk.Look()), L"C:\\Ombrelay\\Ombrelay");
}

}  // namespace
