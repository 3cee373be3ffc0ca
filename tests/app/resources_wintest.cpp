// The program file carries its manifest (visual styles, DPI and long-path
// awareness), its icon and its version information.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The program as the build placed it, seen through Wine's Z: drive.
std::wstring ProgramFile() {
  std::string unix = OMBRELAY_PROGRAM_FILE;
  return L"Z:" + std::wstring(unix.begin(), unix.end());
}

class ProgramResources : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryExW(ProgramFile().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module_, nullptr) << GetLastError();
  }
  void TearDown() override {
    if (module_) FreeLibrary(module_);
  }
  std::string Resource(LPCWSTR type, LPCWSTR name) {
    HRSRC found = FindResourceW(module_, name, type);
    if (!found) return {};
    HGLOBAL loaded = LoadResource(module_, found);
    const char* data = static_cast<const char*>(LockResource(loaded));
    return data ? std::string(data, SizeofResource(module_, found)) : std::string();
  }
  HMODULE module_ = nullptr;
};

TEST_F(ProgramResources, ManifestAsksForVisualStylesDpiAndLongPaths) {
  std::string manifest = Resource(MAKEINTRESOURCEW(24), MAKEINTRESOURCEW(1));  // RT_MANIFEST, the process manifest
  ASSERT_FALSE(manifest.empty());
  EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
  EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
  EXPECT_NE(manifest.find("PerMonitorV2"), std::string::npos);
  EXPECT_NE(manifest.find("<longPathAware"), std::string::npos);
}

TEST_F(ProgramResources, IconAndVersion) {
  EXPECT_NE(LoadImageW(module_, MAKEINTRESOURCEW(1), IMAGE_ICON, 32, 32, 0), nullptr);
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeW(ProgramFile().c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::vector<char> info(size);
  ASSERT_TRUE(GetFileVersionInfoW(ProgramFile().c_str(), 0, size, info.data()));
  auto text = [&](const wchar_t* key) {
    wchar_t* value = nullptr;
    UINT length = 0;
    std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + key;
    if (!VerQueryValueW(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) || !value)
      return std::wstring();
    return std::wstring(value);
  };
  EXPECT_EQ(text(L"ProductName"), L"Ombrelay");
  EXPECT_EQ(text(L"ProductVersion"), L"1.02");
  EXPECT_FALSE(text(L"CompanyName").empty());
}

}  // namespace
