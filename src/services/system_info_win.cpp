// The system information tool: where the registry says it is, and starting
// it; and the registry value reader that finds it.
#include "services/system_info_win.h"

#include "base/encoding.h"
#include "base/error_trap_win.h"
#include "base/handles_win.h"

namespace services {
namespace {

// Text and number values; other types leave KeyVal as it was.
void TakeValue(DWORD type, const std::string& bytes, std::wstring& KeyVal) {
  if (type == REG_SZ) {
    KeyVal = base::enc::FromAnsi(bytes);
  } else if (type == REG_DWORD && bytes.size() >= 4) {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
    KeyVal = std::to_wstring(b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<unsigned long>(b[3]) << 24));
  }
}

bool FileExists(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

bool GetKeyValue(HKEY KeyRoot, const std::wstring& KeyName, const std::wstring& SubKeyRef, std::wstring& KeyVal) {
  bool result = false;
  base::trap::Guard([&] {
    std::string keyName, valueName;
    const bool exact = base::enc::ToAnsi(KeyName, keyName) && base::enc::ToAnsi(SubKeyRef, valueName);
    base::win::unique_hkey key;
    char buffer[1024] = {};
    DWORD size = sizeof buffer;
    DWORD type = 0;
    // Read access only: the tool's location is machine-wide.
    if (!exact || RegOpenKeyExA(KeyRoot, keyName.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS ||
        RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) !=
            ERROR_SUCCESS ||
        size == 0) {
      KeyVal.clear();
      return;
    }
    std::string bytes = ST(std::string(buffer, size));
    if (type == REG_SZ && bytes.back() == '\0') bytes.pop_back();
    ST(TakeValue(type, bytes, KeyVal));
    result = true;
  });
  return result;
}

std::wstring SystemInfoPath() {
  std::wstring path;
  if (GetKeyValue(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", L"PATH", path)) return path;
  std::wstring folder;
  if (!GetKeyValue(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Shared Tools Location", L"MSINFO", folder))
    return std::wstring();
  path = folder + L"\\MSINFO32.EXE";
  return FileExists(path) ? path : std::wstring();
}

bool StartProgram(const std::wstring& path) {
  std::wstring commandLine = L"\"" + path + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return false;
  base::win::unique_handle processHandle(process.hProcess);
  base::win::unique_handle threadHandle(process.hThread);
  return true;
}

}  // namespace services
