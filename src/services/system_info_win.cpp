// The system information tool: where the registry says it is, and starting
// it; and the registry value reader that finds it.
#include "services/system_info_win.h"

#include <cstring>

#include "base/error_trap_win.h"
#include "base/handles_win.h"
#include "services/registry_win.h"

namespace services {
namespace {

// The longest value the reader takes, in characters with the NUL: a path
// is far shorter, anything longer is not the tool's.
constexpr size_t kLongestValue = 1024;

// Text and number values; other types leave KeyVal as it was.
void TakeValue(const RawValue& value, std::wstring& KeyVal) {
  if (value.type == REG_SZ) {
    KeyVal = TextOfBytes(value.bytes);
  } else if (value.type == REG_DWORD && value.bytes.size() >= sizeof(DWORD)) {
    DWORD number = 0;
    std::memcpy(&number, value.bytes.data(), sizeof number);
    KeyVal = std::to_wstring(number);
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
    // Read access only: the tool's location is machine-wide.
    const base::win::unique_hkey key = OpenKey(KeyRoot, KeyName, KEY_READ);
    const std::optional<RawValue> value = key ? ReadRaw(key.get(), SubKeyRef) : std::nullopt;
    if (!value || value->bytes.empty() || value->bytes.size() > kLongestValue * sizeof(wchar_t)) {
      KeyVal.clear();
      return;
    }
    ST(TakeValue(*value, KeyVal));
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
