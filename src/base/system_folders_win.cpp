// The system's folders and variables, each read by one route.
#include "base/system_folders_win.h"

#include "base/handles_win.h"

namespace base::system {

std::wstring KnownFolder(REFKNOWNFOLDERID id, DWORD flags) {
  win::unique_cotaskmem_string path;
  if (FAILED(SHGetKnownFolderPath(id, flags, nullptr, path.put()))) return std::wstring();
  return path ? std::wstring(path.get()) : std::wstring();
}

std::wstring WindowsFolder() { return KnownFolder(FOLDERID_Windows); }

std::wstring TempFolder() {
  std::wstring folder(MAX_PATH + 1, L'\0');
  DWORD n = GetTempPathW(static_cast<DWORD>(folder.size()), &folder[0]);
  if (n > folder.size()) {
    folder.resize(n);
    n = GetTempPathW(n, &folder[0]);
  }
  folder.resize(n < folder.size() ? n : 0);
  return folder;
}

std::wstring ProfilesFolder() { return KnownFolder(FOLDERID_UserProfiles); }

std::wstring EnvironmentValue(const std::wstring& name) {
  const DWORD size = GetEnvironmentVariableW(name.c_str(), nullptr, 0);
  if (size == 0) return std::wstring();
  std::wstring value(size, L'\0');
  const DWORD got = GetEnvironmentVariableW(name.c_str(), &value[0], size);
  value.resize(got < size ? got : 0);
  return value;
}

}  // namespace base::system
