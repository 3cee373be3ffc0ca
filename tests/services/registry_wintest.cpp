// The registry store against the real (Wine) registry, in a
// scratch key of the current user that each test removes again.
#include "services/registry_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "base/error_trap.h"
#include "base/handles_win.h"
#include "services/raw_registry_value_win.h"

namespace services {
namespace {

const wchar_t kKey[] = L"SOFTWARE\\OmbrelayRegistryTest";

class ServicesRegistry : public ::testing::Test {
 protected:
  void SetUp() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
    base::trap::ResetForTests();
    old_ = base::trap::SetPresenter([this](const std::wstring& text, const std::wstring&) {
      reports_.push_back(text);
      return base::trap::Answer::Yes;
    });
  }
  void TearDown() override {
    base::trap::SetPresenter(old_);
    base::trap::ResetForTests();
    RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
  }
  void Put(const char* name, DWORD type, const std::string& bytes) { PutRawValue(kKey, name, type, bytes); }
  // The raw bytes of a value, as stored.
  std::string Raw(const char* name, DWORD* type) {
    base::win::unique_hkey key;
    if (RegOpenKeyW(HKEY_CURRENT_USER, kKey, key.put()) != ERROR_SUCCESS) return "<no key>";
    char buffer[256] = {};
    DWORD size = sizeof buffer;
    if (RegQueryValueExA(key.get(), name, nullptr, type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS)
      return "<no value>";
    return std::string(buffer, size);
  }
  std::wstring Get(const wchar_t* name) { return GetString(HKEY_CURRENT_USER, kKey, name); }

  std::vector<std::wstring> reports_;
  base::trap::Presenter old_;
};

TEST_F(ServicesRegistry, MissingKeyOrValueReadsEmptyWithoutAReport) {
  EXPECT_EQ(Get(L"OmbrelayFirstTime"), L"");
  Put("Other", REG_SZ, std::string("x\0", 2));
  EXPECT_EQ(Get(L"OmbrelayFirstTime"), L"");
  EXPECT_TRUE(reports_.empty());
}

TEST_F(ServicesRegistry, SaveCreatesTheKeyAndWritesTextWithItsNul) {
  SaveString(HKEY_CURRENT_USER, kKey, L"OmbrelayFirstTime", L"No");
  DWORD type = 0;
  EXPECT_EQ(Raw("OmbrelayFirstTime", &type), std::string("No\0", 3));
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(Get(L"OmbrelayFirstTime"), L"No");
  SaveString(HKEY_CURRENT_USER, kKey, L"OmbrelayFirstTime", L"");
  EXPECT_EQ(Raw("OmbrelayFirstTime", &type), std::string("\0", 1));
  EXPECT_EQ(Get(L"OmbrelayFirstTime"), L"");
  EXPECT_TRUE(reports_.empty());
}

TEST_F(ServicesRegistry, TextsCrossInTheAnsiCodePage) {
  SaveString(HKEY_CURRENT_USER, kKey, L"Caf\u00e9", L"\u00c4rger \u00fcber 5\u20ac");
  DWORD type = 0;
  EXPECT_EQ(Raw("Caf\xe9", &type), std::string("\xc4rger \xfc"
                                               "ber 5\x80\0",
                                               14));
  EXPECT_EQ(Get(L"Caf\u00e9"), L"\u00c4rger \u00fcber 5\u20ac");
  EXPECT_TRUE(reports_.empty());
}

TEST_F(ServicesRegistry, TextWithoutAnsiFormIsReportedNotWritten) {
  SaveString(HKEY_CURRENT_USER, kKey, L"Name", L"\u4e2d");
  DWORD type = 0;
  EXPECT_EQ(Raw("Name", &type).substr(0, 1), "<");
  ASSERT_EQ(reports_.size(), 1u);
}

TEST_F(ServicesRegistry, TextStoredWithoutNulReadsWhole) {
  Put("Bare", REG_SZ, "No");
  EXPECT_EQ(Get(L"Bare"), L"No");
  Put("Empty", REG_SZ, "");
  EXPECT_EQ(Get(L"Empty"), L"");
  Put("Inner", REG_SZ, std::string("ab\0cd\0", 6));
  EXPECT_EQ(Get(L"Inner"), L"ab");
  EXPECT_TRUE(reports_.empty());
}

TEST_F(ServicesRegistry, BinaryValuesOfOneOrTwoBytesReadAsNumbers) {
  Put("Minus", REG_BINARY, "\xff\xff");
  Put("Five", REG_BINARY, "\x05");
  Put("High", REG_BINARY, "\xff");
  Put("Word", REG_BINARY, "\x34\x12");
  Put("None", REG_BINARY, "");
  Put("Long", REG_BINARY, "\x01\x02\x03");
  EXPECT_EQ(Get(L"Minus"), L"-1");
  EXPECT_EQ(Get(L"Five"), L"5");
  EXPECT_EQ(Get(L"High"), L"255");
  EXPECT_EQ(Get(L"Word"), L"4660");
  EXPECT_EQ(Get(L"None"), L"0");
  EXPECT_EQ(Get(L"Long"), L"");
  EXPECT_TRUE(reports_.empty());
}

TEST_F(ServicesRegistry, OtherTypesReadEmpty) {
  Put("Dword", REG_DWORD, std::string("\x01\0\0\0", 4));
  Put("Expand", REG_EXPAND_SZ, std::string("%TEMP%\0", 7));
  Put("Multi", REG_MULTI_SZ, std::string("a\0b\0\0", 5));
  EXPECT_EQ(Get(L"Dword"), L"");
  EXPECT_EQ(Get(L"Expand"), L"");
  EXPECT_EQ(Get(L"Multi"), L"");
  EXPECT_TRUE(reports_.empty());
}

TEST_F(ServicesRegistry, QueryOnAnOpenKey) {
  Put("Value", REG_SZ, std::string("long text value\0", 16));
  base::win::unique_hkey key;
  ASSERT_EQ(RegOpenKeyW(HKEY_CURRENT_USER, kKey, key.put()), ERROR_SUCCESS);
  EXPECT_EQ(RegQueryStringValue(key.get(), L"Value"), L"long text value");
  EXPECT_EQ(RegQueryStringValue(key.get(), L"Missing"), L"");
  EXPECT_EQ(RegQueryStringValue(nullptr, L"Value"), L"");
}

TEST_F(ServicesRegistry, StoreKeepsNumbersAndWideNames) {
  base::win::unique_hkey key = CreateKey(HKEY_CURRENT_USER, kKey, KEY_READ | KEY_WRITE);
  ASSERT_TRUE(key);
  ASSERT_TRUE(WriteNumber(key.get(), L"Count", 0x12345678));
  ASSERT_TRUE(WriteText(key.get(), L"C:\\\u4e2d.txt", L"\u4e2d"));
  EXPECT_EQ(ReadNumber(key.get(), L"Count"), std::optional<DWORD>(0x12345678));
  EXPECT_EQ(ReadNumber(key.get(), L"C:\\\u4e2d.txt"), std::nullopt);
  EXPECT_EQ(ReadText(key.get(), L"C:\\\u4e2d.txt"), std::optional<std::wstring>(L"\u4e2d"));
  std::vector<std::wstring> names = ValueNames(key.get());
  std::sort(names.begin(), names.end());  // the registry's order is its own
  EXPECT_EQ(names, (std::vector<std::wstring>{L"C:\\\u4e2d.txt", L"Count"}));
  EXPECT_TRUE(DeleteValue(key.get(), L"Count"));
  EXPECT_FALSE(HasValue(key.get(), L"Count"));
  EXPECT_TRUE(HasValue(key.get(), L"C:\\\u4e2d.txt"));
  EXPECT_FALSE(OpenKey(HKEY_CURRENT_USER, L"SOFTWARE\\OmbrelayNoSuchKey", KEY_READ));
}

}  // namespace
}  // namespace services
