// Protected locations on the running system: each real protected folder is
// recognised through every spelling of it, ordinary folders and files are not.
#include "listfile/protected_places_win.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <shlobj.h>
#include <userenv.h>

#include <algorithm>
#include <cwctype>
#include <string>

namespace {

using listfile::Place;

std::wstring Known(int csidl) {
  wchar_t path[MAX_PATH] = L"";
  EXPECT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, csidl, nullptr, 0, path))) << csidl;
  return path;
}

std::wstring Users() {
  wchar_t path[MAX_PATH] = L"";
  DWORD size = MAX_PATH;
  EXPECT_TRUE(GetProfilesDirectoryW(path, &size));
  return path;
}

std::wstring Short(const std::wstring& path) {
  wchar_t buf[MAX_PATH] = L"";
  EXPECT_GT(GetShortPathNameW(path.c_str(), buf, MAX_PATH), 0u) << path;
  return buf;
}

std::wstring Cased(std::wstring path, bool upper) {
  std::transform(path.begin(), path.end(), path.begin(),
                 [upper](wchar_t c) { return static_cast<wchar_t>(upper ? std::towupper(c) : std::towlower(c)); });
  return path;
}

std::wstring Slashed(std::wstring path) {
  std::replace(path.begin(), path.end(), L'\\', L'/');
  return path;
}

// The ways one folder can be written; the folder named last in `path` must exist.
std::vector<std::wstring> Spellings(const std::wstring& path) {
  const std::wstring shortName = Short(path);
  return {path,
          path + L"\\",
          Cased(path, true),
          Cased(path, false) + L"\\",
          shortName,
          Cased(shortName, false),
          Slashed(path) + L"/",
          L"\\\\?\\" + path,
          L"\\\\?\\" + shortName + L"\\",
          path + L"\\.",
          path + L"\\..\\" + path.substr(path.rfind(L'\\') + 1)};
}

class ProtectedPlaces : public ::testing::Test {
 protected:
  void TearDown() override {
    RemoveDirectoryW(desktopSub_.c_str());
    DeleteFileW(desktopFile_.c_str());
    RemoveDirectoryW(tempSub_.c_str());
  }
  std::wstring desktopSub_ = Known(CSIDL_DESKTOPDIRECTORY) + L"\\Ombrelay protected test";
  std::wstring desktopFile_ = Known(CSIDL_DESKTOPDIRECTORY) + L"\\Ombrelay protected test.txt";
  std::wstring tempSub_;
};

TEST_F(ProtectedPlaces, EveryProtectedFolderIsKnownInEverySpelling) {
  const std::wstring profile = Known(CSIDL_PROFILE);
  const std::pair<std::wstring, Place> cases[] = {
      {Known(CSIDL_WINDOWS), Place::Windows},
      {Known(CSIDL_PROGRAM_FILES), Place::ProgramFiles},
      {Known(CSIDL_COMMON_APPDATA), Place::ProgramData},
      {Users(), Place::Users},
      {profile, Place::OwnProfile},
      {Known(CSIDL_DESKTOPDIRECTORY), Place::Desktop},
      {Users() + L"\\Public", Place::Profile},
      {profile.substr(0, 3), Place::DriveRoot},
  };
  listfile::ProtectedPlaces places;
  for (const auto& [folder, place] : cases) {
    for (const std::wstring& spelling : Spellings(folder)) {
      EXPECT_EQ(places.Find(spelling), place) << spelling;
      EXPECT_EQ(places.FindIfShallow(spelling), place) << spelling;
    }
  }
  EXPECT_EQ(places.Find(profile.substr(0, 2)), Place::DriveRoot);
}

TEST_F(ProtectedPlaces, OrdinaryFoldersFilesAndMissingPathsAreNot) {
  ASSERT_TRUE(CreateDirectoryW(desktopSub_.c_str(), nullptr));
  HANDLE file = CreateFileW(desktopFile_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  wchar_t temp[MAX_PATH] = L"";
  ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
  tempSub_ = std::wstring(temp) + L"Ombrelay protected test";
  ASSERT_TRUE(CreateDirectoryW(tempSub_.c_str(), nullptr));
  listfile::ProtectedPlaces places;
  for (const std::wstring& path :
       {desktopSub_, desktopSub_ + L"\\", desktopFile_, tempSub_, Short(tempSub_), Known(CSIDL_WINDOWS) + L"\\system32",
        Known(CSIDL_DESKTOPDIRECTORY) + L"\\missing", std::wstring(L"Q:\\Windows"), std::wstring()}) {
    EXPECT_EQ(places.Find(path), std::nullopt) << path;
    EXPECT_EQ(places.FindIfShallow(path), std::nullopt) << path;
  }
  // Every folder found is on disk and one of them is the Desktop.
  ASSERT_FALSE(places.Folders().empty());
  for (const listfile::ProtectedFolder& folder : places.Folders())
    EXPECT_TRUE(folder.id.has_value()) << folder.longPath;
}

}  // namespace
