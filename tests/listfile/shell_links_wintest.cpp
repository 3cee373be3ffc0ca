// Shortcuts written through the scripting shell object, read back with the
// shell's own link reader: the values, replacement, blank arguments, the
// sub-folder, and a failure handed to the caller with its reason.
#include <windows.h>

#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>

#include <string>

#include "listfile/shell_links_win.h"

namespace {

struct LinkValues {
  std::wstring target, arguments, workingDirectory, description, iconPath;
  int iconIndex = -1;
  int show = 0;
};

LinkValues ReadLink(const std::wstring& path) {
  LinkValues v;
  IShellLinkW* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link))))
    return v;
  IPersistFile* file = nullptr;
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
      SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
    wchar_t buf[1024] = L"";
    if (SUCCEEDED(link->GetPath(buf, 1024, nullptr, SLGP_RAWPATH))) v.target = buf;
    buf[0] = 0;
    if (SUCCEEDED(link->GetArguments(buf, 1024))) v.arguments = buf;
    buf[0] = 0;
    if (SUCCEEDED(link->GetWorkingDirectory(buf, 1024))) v.workingDirectory = buf;
    buf[0] = 0;
    if (SUCCEEDED(link->GetDescription(buf, 1024))) v.description = buf;
    buf[0] = 0;
    if (SUCCEEDED(link->GetIconLocation(buf, 1024, &v.iconIndex))) v.iconPath = buf;
    link->GetShowCmd(&v.show);
  }
  if (file) file->Release();
  link->Release();
  return v;
}

std::wstring Desktop() {
  wchar_t buf[MAX_PATH] = L"";
  SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, buf);
  return buf;
}

const wchar_t kIcon[] = L"C:\\windows\\notepad.exe,0";

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class ShellLinks : public ::testing::Test {
 protected:
  void SetUp() override { CoInitialize(nullptr); }
  void TearDown() override {
    DeleteFileW(link_.c_str());
    DeleteFileW(sub_link_.c_str());
    RemoveDirectoryW(sub_.c_str());
    CoUninitialize();
  }
  std::wstring link_ = Desktop() + L"\\Ombrelay Test Link.lnk";
  std::wstring sub_ = Desktop() + L"\\Ombrelay Test Folder";
  std::wstring sub_link_ = sub_ + L"\\Ombrelay Test Link.lnk";
  std::wstring reason_;
};

TEST_F(ShellLinks, WritesTheValuesAndReplacesAnEarlierLink) {
  EXPECT_TRUE(listfile::CreateLink(listfile::DeskTop, L"Ombrelay Test Link", L"C:\\windows\\notepad.exe", L"",
                                   L"C:\\windows\\notepad.exe,0", L"C:\\windows\\notepad.exe", L"", 1,
                                   L"Remove Files*C:\\My Lists\\first.txt", reason_));
  ASSERT_TRUE(Exists(link_));
  EXPECT_TRUE(listfile::CreateLink(listfile::DeskTop, L"Ombrelay Test Link", L"C:\\windows\\notepad.exe", L"",
                                   L"C:\\windows\\notepad.exe,0", L"C:\\windows\\notepad.exe", L"", 1,
                                   L"Remove Files*C:\\My Lists\\second.txt", reason_));
  LinkValues v = ReadLink(link_);
  EXPECT_EQ(v.target, L"C:\\windows\\notepad.exe");
  EXPECT_EQ(v.arguments, L"Remove Files*C:\\My Lists\\second.txt");
  EXPECT_EQ(v.workingDirectory, L"C:\\windows\\notepad.exe");
  EXPECT_EQ(v.description, L"Ombrelay Test Link");
  EXPECT_EQ(v.iconPath, L"C:\\windows\\notepad.exe");
  EXPECT_EQ(v.iconIndex, 0);
  EXPECT_EQ(v.show, SW_SHOWNORMAL);
}

TEST_F(ShellLinks, BlankArgumentsAreLeftOutAndSubFolderIsMade) {
  ASSERT_FALSE(Exists(sub_));
  EXPECT_TRUE(listfile::CreateLink(listfile::DeskTop, L"Ombrelay Test Link", L"C:\\windows\\notepad.exe", L"", kIcon,
                                   L"", L"Ombrelay Test Folder", 1, L"   ", reason_));
  ASSERT_TRUE(Exists(sub_link_));
  EXPECT_EQ(ReadLink(sub_link_).arguments, L"");
  // Into the existing folder again.
  EXPECT_TRUE(listfile::CreateLink(listfile::DeskTop, L"Ombrelay Test Link", L"C:\\windows\\notepad.exe", L"", kIcon,
                                   L"", L"Ombrelay Test Folder", 1, L" x ", reason_));
  EXPECT_EQ(ReadLink(sub_link_).arguments, L" x ");
}

TEST_F(ShellLinks, AFailureComesBackWithItsReason) {
  // A sub-folder under a missing folder cannot be made, so the link cannot be written.
  EXPECT_FALSE(listfile::CreateLink(listfile::DeskTop, L"Ombrelay Test Link", L"C:\\windows\\notepad.exe", L"", kIcon,
                                    L"", L"no such folder\\below", 1, L"", reason_));
  EXPECT_FALSE(reason_.empty());
  EXPECT_FALSE(Exists(link_));
}

}  // namespace
