// Whole-file I/O on Windows: wide-character API, long paths, every byte
// accounted for; a write replaces the file in one step or not at all.
#include <windows.h>

#include "base/atomic_write_win.h"
#include "base/error_trap_win.h"  // SystemMessage
#include "base/file_io.h"
#include "base/handles_win.h"
#include "base/paths.h"

namespace base::files {

namespace {

bool Fail(DWORD code, std::string& bytes, std::wstring& reason) {
  std::string().swap(bytes);
  reason = trap::SystemMessage(code);
  return false;
}

}  // namespace

bool ReadAll(const std::wstring& path, std::string& bytes, std::wstring& reason) {
  win::unique_hfile file(CreateFileW(paths::Verbatim(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return Fail(GetLastError(), bytes, reason);
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) return Fail(GetLastError(), bytes, reason);
  if (size.QuadPart > 0x7FFFFFFF) return Fail(ERROR_FILE_TOO_LARGE, bytes, reason);
  bytes.assign(static_cast<size_t>(size.QuadPart), '\0');
  DWORD done = 0;
  while (done < bytes.size()) {
    DWORD got = 0;
    if (!ReadFile(file.get(), &bytes[done], static_cast<DWORD>(bytes.size() - done), &got, nullptr))
      return Fail(GetLastError(), bytes, reason);
    if (got == 0) break;
    done += got;
  }
  bytes.resize(done);
  return true;
}

bool WriteAll(const std::wstring& path, const std::string& bytes, std::wstring& reason) {
  StagedFile staged;
  if (staged.Open(paths::ParentOf(path)) && staged.Write(bytes.data(), bytes.size()) && staged.MoveTo(path, true))
    return true;
  reason = trap::SystemMessage(staged.Error());
  return false;
}

}  // namespace base::files
