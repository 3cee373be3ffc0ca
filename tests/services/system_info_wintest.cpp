// The registry value reader that finds the system information tool, against
// the real (Wine) registry.
#include <gtest/gtest.h>

#include <string>

#include "base/handles_win.h"
#include "services/raw_registry_value_win.h"
#include "services/system_info_win.h"

namespace services {
namespace {

const wchar_t kKey[] = L"SOFTWARE\\OmbrelayAboutTest";

class ServicesGetKeyValue : public ::testing::Test {
 protected:
  void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, kKey); }
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kKey); }
  void Put(const char* name, DWORD type, const std::string& bytes) { PutRawValue(kKey, name, type, bytes); }
  bool Get(const wchar_t* name, std::wstring& value) { return GetKeyValue(HKEY_CURRENT_USER, kKey, name, value); }
};

TEST_F(ServicesGetKeyValue, TextValuesWithOrWithoutTheirNul) {
  Put("Path", REG_SZ, std::string("C:\\Tools\\msinfo32.exe\0", 22));
  Put("Bare", REG_SZ, "C:\\x.exe");
  std::wstring value = L"old";
  ASSERT_TRUE(Get(L"Path", value));
  EXPECT_EQ(value, L"C:\\Tools\\msinfo32.exe");
  ASSERT_TRUE(Get(L"Bare", value));
  EXPECT_EQ(value, L"C:\\x.exe");
}

TEST_F(ServicesGetKeyValue, NumbersAndOtherTypes) {
  Put("Number", REG_DWORD, std::string("\x2a\x01\0\0", 4));
  Put("Binary", REG_BINARY, "\x01\x02");
  std::wstring value;
  ASSERT_TRUE(Get(L"Number", value));
  EXPECT_EQ(value, L"298");
  value = L"kept";
  ASSERT_TRUE(Get(L"Binary", value));
  EXPECT_EQ(value, L"kept");
}

TEST_F(ServicesGetKeyValue, UnreadableValuesGiveFalseAndEmpty) {
  Put("Empty", REG_SZ, "");
  Put("Huge", REG_SZ, std::string(1500, 'x'));
  std::wstring value = L"old";
  EXPECT_FALSE(Get(L"Empty", value));
  EXPECT_EQ(value, L"");
  value = L"old";
  EXPECT_FALSE(Get(L"Huge", value));
  EXPECT_EQ(value, L"");
  value = L"old";
  EXPECT_FALSE(Get(L"Missing", value));
  EXPECT_EQ(value, L"");
  value = L"old";
  EXPECT_FALSE(GetKeyValue(HKEY_CURRENT_USER, L"SOFTWARE\\OmbrelayNoSuchKey", L"PATH", value));
  EXPECT_EQ(value, L"");
}

TEST_F(ServicesGetKeyValue, MachineKeysAreRead) {
  // (Wine grants every right to its one user, so the read-only open cannot
  // be told from a wider one here.)
  const wchar_t kMachineKey[] = L"SOFTWARE\\OmbrelayAboutTest";
  base::win::unique_hkey key;
  ASSERT_EQ(RegCreateKeyW(HKEY_LOCAL_MACHINE, kMachineKey, key.put()), ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExW(key.get(), L"PATH", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"C:\\t.exe"), 18),
            ERROR_SUCCESS);
  std::wstring value;
  EXPECT_TRUE(GetKeyValue(HKEY_LOCAL_MACHINE, kMachineKey, L"PATH", value));
  EXPECT_EQ(value, L"C:\\t.exe");
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, kMachineKey);
}

}  // namespace
}  // namespace services
