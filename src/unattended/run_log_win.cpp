// Appending to the run log under a named mutex, so that two lists running
// at once never interleave their entries or trim the log under each other.
#include "unattended/run_log_win.h"

#include <windows.h>

#include "base/encoding.h"
#include "base/file_io.h"
#include "base/handles_win.h"
#include "base/named_mutex_win.h"
#include "base/paths.h"
#include "base/paths_win.h"
#include "base/texts_win.h"
#include "unattended/run_log.h"

namespace unattended {
namespace {

const wchar_t kLogMutex[] = L"Local\\Ombrelay.RunLog";
constexpr DWORD kLockWaitMs = 30000;

// Reads `length` bytes from `offset` on.
bool ReadAt(HANDLE file, uint64_t offset, std::string& bytes, size_t length) {
  LARGE_INTEGER at{};
  at.QuadPart = static_cast<LONGLONG>(offset);
  if (!SetFilePointerEx(file, at, nullptr, FILE_BEGIN)) return false;
  bytes.assign(length, '\0');
  DWORD got = 0;
  return ReadFile(file, bytes.data(), static_cast<DWORD>(length), &got, nullptr) && got == length;
}

// Adds the entry at the log's end, on a line of its own, and trims the log
// once it is past its limit, reading only the part it keeps. The caller
// holds the log's mutex, so the last byte read, the bytes written and the
// tail kept are all of the same log.
bool AppendAndTrim(const std::wstring& path, const std::string& entry) {
  base::win::unique_hfile file(CreateFileW(path.c_str(), FILE_READ_DATA | FILE_APPEND_DATA | FILE_READ_ATTRIBUTES,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  LARGE_INTEGER length{};
  if (!GetFileSizeEx(file.get(), &length)) return false;
  uint64_t size = static_cast<uint64_t>(length.QuadPart);
  std::string last;
  if (size != 0 && !ReadAt(file.get(), size - 1, last, 1)) return false;
  const std::string bytes = BytesToAppend(entry, size, last.empty() ? '\n' : last[0], kRunLogLimit);
  // Opened for appending and not for writing, the file takes every write
  // at its end; the pointer goes there all the same.
  if (!SetFilePointerEx(file.get(), LARGE_INTEGER{}, nullptr, FILE_END)) return false;
  DWORD written = 0;
  if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
      written != bytes.size())
    return false;
  size += written;
  const size_t tailLength = TrimmedTailLength(size, kRunLogLimit);
  if (tailLength == 0) return true;
  std::string tail;
  // A log that cannot be trimmed now is trimmed by the next entry.
  if (!ReadAt(file.get(), size - tailLength, tail, tailLength)) return true;
  file.reset();
  std::wstring unused;  // as above: the next entry trims it
  base::files::WriteAll(path, TrimmedTail(tail, tailLength == size, kRunLogLimit), unused);
  return true;
}

}  // namespace

std::wstring RunLogPath() {
  const std::wstring folder = base::paths::OwnLocalFolder();
  return folder.empty() ? folder : base::paths::JoinPath(folder, L"run log.txt");
}

bool AppendToRunLog(const std::wstring& entry) {
  const std::wstring folder = base::paths::OwnLocalFolder();
  if (folder.empty()) return false;
  CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring path = RunLogPath();
  const base::NamedMutexLock lock(kLogMutex, kLockWaitMs);
  if (!lock.Held()) return false;
  return AppendAndTrim(path, base::enc::ToUtf8(entry));
}

std::wstring LogStamp() { return base::text::DateTimeText(base::text::LocalNow()); }

}  // namespace unattended
