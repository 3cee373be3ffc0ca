// The registry store through the wide-character API. The settings' texts
// must have an exact ANSI form (older versions read them so): one that has
// none is reported by the trap, not written with substitutes.
#include "services/registry_win.h"

#include <cstdint>
#include <cstring>
#include <cwchar>

#include "base/encoding.h"
#include "base/error_trap_win.h"

namespace services {

const wchar_t kSettingsKey[] = L"SOFTWARE\\FD";
const wchar_t kApprovalsKey[] = L"SOFTWARE\\FD\\Approvals";
const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

namespace {

// The settings have always been texts of the ANSI code page, and other
// programs read them so: a text without an exact ANSI form raises a trap
// failure rather than being stored.
void RequireAnsiForm(const std::wstring& text) {
  std::string ansi;
  if (!base::enc::ToAnsi(text, ansi)) base::trap::RaiseWin32(ERROR_NO_UNICODE_TRANSLATION);
}

// One or two bytes, little-endian, as a signed 16-bit number; longer
// values have no number form.
std::wstring BinaryNumber(const std::string& bytes) {
  if (bytes.size() > 2) return {};
  const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
  const uint8_t low = bytes.size() > 0 ? b[0] : 0;
  const uint8_t high = bytes.size() > 1 ? b[1] : 0;
  return std::to_wstring(static_cast<int16_t>(low | (high << 8)));
}

}  // namespace

std::wstring TextOfBytes(const std::string& bytes) {
  std::wstring text(bytes.size() / sizeof(wchar_t), L'\0');
  if (!text.empty()) std::memcpy(text.data(), bytes.data(), text.size() * sizeof(wchar_t));
  text.resize(wcsnlen(text.c_str(), text.size()));
  return text;
}

base::win::unique_hkey OpenKey(HKEY root, const std::wstring& path, REGSAM access, bool* missing) {
  base::win::unique_hkey key;
  const LSTATUS status = RegOpenKeyExW(root, path.c_str(), 0, access, key.put());
  if (missing) *missing = status == ERROR_FILE_NOT_FOUND;
  if (status != ERROR_SUCCESS) key.reset();
  return key;
}

base::win::unique_hkey CreateKey(HKEY root, const std::wstring& path, REGSAM access) {
  base::win::unique_hkey key;
  if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, access, nullptr, key.put(), nullptr) != ERROR_SUCCESS)
    key.reset();
  return key;
}

std::optional<RawValue> ReadRaw(HKEY key, const std::wstring& name) {
  RawValue value;
  DWORD size = 0;
  if (RegQueryValueExW(key, name.c_str(), nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
  value.bytes.resize(size);
  // The value may change between the two calls: what the second one got counts.
  DWORD got = size;
  const LSTATUS status =
      RegQueryValueExW(key, name.c_str(), nullptr, &value.type, reinterpret_cast<BYTE*>(value.bytes.data()), &got);
  if (status != ERROR_SUCCESS) return std::nullopt;
  value.bytes.resize(got);
  return value;
}

std::optional<std::wstring> ReadText(HKEY key, const std::wstring& name) {
  const std::optional<RawValue> value = ReadRaw(key, name);
  if (!value || value->type != REG_SZ) return std::nullopt;
  return TextOfBytes(value->bytes);
}

std::optional<DWORD> ReadNumber(HKEY key, const std::wstring& name) {
  const std::optional<RawValue> value = ReadRaw(key, name);
  if (!value || value->type != REG_DWORD || value->bytes.size() != sizeof(DWORD)) return std::nullopt;
  DWORD number = 0;
  std::memcpy(&number, value->bytes.data(), sizeof number);
  return number;
}

bool WriteText(HKEY key, const std::wstring& name, const std::wstring& text) {
  return RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool WriteNumber(HKEY key, const std::wstring& name, DWORD number) {
  return RegSetValueExW(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number) ==
         ERROR_SUCCESS;
}

// A value that is not there is gone as asked.
bool DeleteValue(HKEY key, const std::wstring& name) {
  const LSTATUS status = RegDeleteValueW(key, name.c_str());
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

bool HasValue(HKEY key, const std::wstring& name) {
  return RegQueryValueExW(key, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::vector<std::wstring> ValueNames(HKEY key) {
  std::vector<std::wstring> names;
  // The longest value name the registry allows, and its NUL.
  std::wstring name(32768, L'\0');
  for (DWORD i = 0;; ++i) {
    DWORD length = static_cast<DWORD>(name.size());
    if (RegEnumValueW(key, i, name.data(), &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name.data(), length);
  }
  return names;
}

std::optional<std::vector<std::wstring>> SubkeyNames(HKEY key) {
  std::vector<std::wstring> names;
  // The longest key name the registry allows, and its NUL.
  wchar_t name[256];
  LONG result;
  for (DWORD i = 0;; ++i) {
    DWORD length = 256;
    result = RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (result != ERROR_SUCCESS) break;
    names.emplace_back(name, length);
  }
  if (result != ERROR_NO_MORE_ITEMS) return std::nullopt;
  return names;
}

bool SaveString(HKEY root, const std::wstring& keyPath, const std::wstring& valueName, const std::wstring& text) {
  bool saved = false;
  base::trap::Guard([&] {
    ST(RequireAnsiForm(keyPath));
    ST(RequireAnsiForm(valueName));
    ST(RequireAnsiForm(text));
    const base::win::unique_hkey key = CreateKey(root, keyPath, KEY_SET_VALUE);
    saved = key && WriteText(key.get(), valueName, text);
  });
  return saved;
}

std::wstring GetString(HKEY root, const std::wstring& keyPath, const std::wstring& valueName) {
  std::wstring result;
  base::trap::Guard([&] {
    const base::win::unique_hkey key = OpenKey(root, keyPath, KEY_QUERY_VALUE);
    if (key) result = ST(RegQueryStringValue(key.get(), valueName));
  });
  return result;
}

bool SaveSetting(const std::wstring& valueName, const std::wstring& text) {
  return SaveString(HKEY_CURRENT_USER, kSettingsKey, valueName, text);
}

std::wstring GetSetting(const std::wstring& valueName) { return GetString(HKEY_CURRENT_USER, kSettingsKey, valueName); }

std::wstring RegQueryStringValue(HKEY key, const std::wstring& valueName) {
  const std::optional<RawValue> value = ReadRaw(key, valueName);
  if (!value) return {};
  if (value->type == REG_SZ) return TextOfBytes(value->bytes);
  if (value->type == REG_BINARY) return BinaryNumber(value->bytes);
  return {};
}

}  // namespace services
