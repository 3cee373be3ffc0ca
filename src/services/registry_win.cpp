// Registry settings store. Names and texts cross into the registry in the
// ANSI code page; a text that has no exact ANSI form is reported by the
// trap, not written with substitutes: the program stores only texts of its
// own, so such a text is a failure nothing expected.
#include "services/registry_win.h"

#include <cstdint>
#include <vector>

#include "base/encoding.h"
#include "base/error_trap_win.h"
#include "base/handles_win.h"

namespace services {
namespace {

// Raises a trap failure when the text cannot be stored exactly.
std::string Ansi(const std::wstring& text) {
  std::string out;
  if (!base::enc::ToAnsi(text, out)) base::trap::RaiseWin32(ERROR_NO_UNICODE_TRANSLATION);
  return out;
}

std::wstring TextValue(HKEY key, const std::string& name, DWORD size) {
  // One spare byte so that a value stored without its NUL still ends in one.
  std::vector<char> buffer(size + 1, '\0');
  DWORD got = size;
  if (RegQueryValueExA(key, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(buffer.data()), &got) !=
      ERROR_SUCCESS)
    return {};
  return base::enc::FromAnsi(std::string(buffer.data()));
}

std::wstring BinaryValue(HKEY key, const std::string& name, DWORD size) {
  // One or two bytes, little-endian, as a signed 16-bit number; longer
  // values have no number form.
  if (size > 2) return {};
  uint8_t bytes[2] = {0, 0};
  DWORD got = size;
  if (RegQueryValueExA(key, name.c_str(), nullptr, nullptr, bytes, &got) != ERROR_SUCCESS) return {};
  const int16_t number = static_cast<int16_t>(bytes[0] | (bytes[1] << 8));
  return std::to_wstring(number);
}

}  // namespace

bool SaveString(HKEY root, const std::wstring& keyPath, const std::wstring& valueName, const std::wstring& text) {
  bool saved = false;
  base::trap::Guard([&] {
    const std::string path = ST(Ansi(keyPath));
    const std::string name = ST(Ansi(valueName));
    const std::string data = ST(Ansi(text));
    base::win::unique_hkey key;
    if (RegCreateKeyA(root, path.c_str(), key.put()) != ERROR_SUCCESS) return;
    saved = RegSetValueExA(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                           static_cast<DWORD>(data.size() + 1)) == ERROR_SUCCESS;
  });
  return saved;
}

std::wstring GetString(HKEY root, const std::wstring& keyPath, const std::wstring& valueName) {
  std::wstring result;
  base::trap::Guard([&] {
    const std::string path = ST(Ansi(keyPath));
    base::win::unique_hkey key;
    if (RegOpenKeyA(root, path.c_str(), key.put()) != ERROR_SUCCESS) return;
    result = ST(RegQueryStringValue(key.get(), valueName));
  });
  return result;
}

std::wstring RegQueryStringValue(HKEY key, const std::wstring& valueName) {
  std::wstring result;
  base::trap::Guard([&] {
    const std::string name = ST(Ansi(valueName));
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return;
    if (type == REG_SZ) {
      result = ST(TextValue(key, name, size));
    } else if (type == REG_BINARY) {
      result = ST(BinaryValue(key, name, size));
    }
  });
  return result;
}

}  // namespace services
