// Files written whole or not at all: a temporary file beside the target,
// flushed, then moved over the target's name with write-through.
#include "base/atomic_write_win.h"

#include "base/paths.h"

namespace base::files {
namespace {

// Writes of at most 16 MB at a time: WriteFile counts in 32 bits and a
// very large single write can fail for lack of kernel memory.
constexpr size_t kChunk = size_t{1} << 24;

// "~ombrelay 1a2b-3.tmp": the process and a counter keep two writers apart;
// the leading "~" and ".tmp" mark it as temporary to anyone who sees it.
std::wstring TempName() {
  static volatile LONG counter = 0;
  wchar_t name[64];
  wsprintfW(name, L"~ombrelay %lx-%lx.tmp", GetCurrentProcessId(),
            static_cast<unsigned long>(InterlockedIncrement(&counter)));
  return name;
}

}  // namespace

StagedFile::~StagedFile() {
  file_.reset();
  if (!temp_.empty() && !placed_) DeleteFileW(paths::Verbatim(temp_).c_str());
}

bool StagedFile::Fail(DWORD code) {
  error_ = code ? code : ERROR_GEN_FAILURE;
  return false;
}

bool StagedFile::Open(const std::wstring& folder) {
  // CREATE_NEW never opens someone else's file; a taken name gets another.
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::wstring temp = paths::JoinPath(folder, TempName());
    file_.reset(CreateFileW(paths::Verbatim(temp).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                            nullptr));
    if (file_) {
      temp_ = temp;
      return true;
    }
    const DWORD code = GetLastError();
    if (!NameTaken(code)) return Fail(code);
  }
  return Fail(ERROR_FILE_EXISTS);
}

bool StagedFile::Write(const void* data, size_t size) {
  if (!file_) return Fail(ERROR_INVALID_HANDLE);
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    DWORD wrote = 0;
    const DWORD chunk = static_cast<DWORD>(size > kChunk ? kChunk : size);
    if (!WriteFile(file_.get(), bytes, chunk, &wrote, nullptr)) return Fail(GetLastError());
    if (wrote == 0) return Fail(ERROR_DISK_FULL);
    bytes += wrote;
    size -= wrote;
  }
  return true;
}

bool StagedFile::Close() {
  if (!file_) return temp_.empty() ? Fail(ERROR_INVALID_HANDLE) : true;
  // Only bytes that are on the disk may take the target's place.
  if (!FlushFileBuffers(file_.get())) return Fail(GetLastError());
  if (!CloseHandle(file_.release())) return Fail(GetLastError());
  return true;
}

bool StagedFile::MoveTo(const std::wstring& target, bool replace) {
  if (!Close()) return false;
  DWORD error = ERROR_SUCCESS;
  if (replace) {
    error = MoveOver(temp_, target);
  } else if (!MoveFileExW(paths::Verbatim(temp_).c_str(), paths::Verbatim(target).c_str(), MOVEFILE_WRITE_THROUGH)) {
    error = GetLastError();
  }
  if (error != ERROR_SUCCESS) return Fail(error);
  placed_ = true;
  return true;
}

DWORD MoveOver(const std::wstring& from, const std::wstring& to) {
  const std::wstring target = paths::Verbatim(to);
  if (MoveFileExW(paths::Verbatim(from).c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return ERROR_SUCCESS;
  const DWORD error = GetLastError();
  if (error != ERROR_ACCESS_DENIED) return error;
  // The replacement needs the right to delete the old file; asking for just
  // that, sharing everything, fails only when another program shares nothing.
  win::unique_hfile probe(CreateFileW(target.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  return !probe && GetLastError() == ERROR_SHARING_VIOLATION ? ERROR_SHARING_VIOLATION : error;
}

bool NameTaken(DWORD error) { return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS; }

}  // namespace base::files
