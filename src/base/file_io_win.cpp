// Whole-file I/O on Windows: wide-character API, long paths, every byte
// accounted for; a write replaces the file in one step or not at all.
#include <windows.h>

#include "base/atomic_write_win.h"
#include "base/error_trap_win.h"
#include "base/file_io.h"
#include "base/handles_win.h"
#include "base/paths.h"

namespace base::files {

std::string ReadAll(const std::wstring& path) {
  win::unique_hfile file(CHECK_HANDLE(CreateFileW(paths::Verbatim(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)));
  LARGE_INTEGER size{};
  CHECK_WIN(GetFileSizeEx(file.get(), &size));
  if (size.QuadPart > 0x7FFFFFFF) trap::RaiseWin32(ERROR_FILE_TOO_LARGE);
  std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
  DWORD done = 0;
  while (done < bytes.size()) {
    DWORD got = 0;
    CHECK_WIN(ReadFile(file.get(), &bytes[done], static_cast<DWORD>(bytes.size() - done), &got, nullptr));
    if (got == 0) break;
    done += got;
  }
  bytes.resize(done);
  return bytes;
}

bool WriteAll(const std::wstring& path, const std::string& bytes, std::wstring& reason) {
  const DWORD error = files::WriteWholeFile(path, bytes);
  if (error != ERROR_SUCCESS) reason = trap::SystemMessage(error);
  return error == ERROR_SUCCESS;
}

}  // namespace base::files
