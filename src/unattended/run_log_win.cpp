// Appending to the run log under a named mutex, so that two lists running
// at once never interleave their entries or trim the log under each other.
#include "unattended/run_log_win.h"

#include <windows.h>

#include <shlobj.h>

#include "base/atomic_write_win.h"
#include "base/encoding.h"
#include "base/handles_win.h"
#include "base/named_mutex_win.h"
#include "unattended/run_log.h"

namespace unattended {
namespace {

const wchar_t kLogMutex[] = L"Local\\Ombrelay.RunLog";
constexpr DWORD kLockWaitMs = 30000;

std::wstring LogFolder() {
  PWSTR local = nullptr;
  std::wstring folder;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_CREATE, nullptr, &local)))
    folder = std::wstring(local) + L"\\Ombrelay";
  CoTaskMemFree(local);
  return folder;
}

bool Append(const std::wstring& path, const std::string& bytes, uint64_t& size) {
  base::win::unique_hfile file(CreateFileW(path.c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
      written != bytes.size())
    return false;
  LARGE_INTEGER length{};
  if (!GetFileSizeEx(file.get(), &length)) return false;
  size = static_cast<uint64_t>(length.QuadPart);
  return true;
}

// The log's oldest entries go once it is past its limit.
void Trim(const std::wstring& path) {
  base::win::unique_hfile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER length{};
  if (!file || !GetFileSizeEx(file.get(), &length) || length.QuadPart > 64 * kRunLogLimit) return;
  std::string log(static_cast<size_t>(length.QuadPart), '\0');
  DWORD got = 0;
  if (!ReadFile(file.get(), log.data(), static_cast<DWORD>(log.size()), &got, nullptr) || got != log.size()) return;
  file.reset();
  base::files::WriteWholeFile(path, TrimmedLog(log, kRunLogLimit));
}

}  // namespace

std::wstring RunLogPath() {
  const std::wstring folder = LogFolder();
  return folder.empty() ? folder : folder + L"\\run log.txt";
}

bool AppendToRunLog(const std::wstring& entry) {
  const std::wstring folder = LogFolder();
  if (folder.empty()) return false;
  CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring path = RunLogPath();
  const base::NamedMutexLock lock(kLogMutex, kLockWaitMs);
  if (!lock.Held()) return false;
  uint64_t size = 0;
  if (!Append(path, base::enc::ToUtf8(entry), size)) return false;
  if (size > kRunLogLimit) Trim(path);
  return true;
}

std::wstring LogStamp() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  wchar_t text[32];
  swprintf(text, std::size(text), L"%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay, now.wHour,
           now.wMinute, now.wSecond);
  return text;
}

}  // namespace unattended
