// Items' identities and links, read from the items themselves.
#include "base/file_identity_win.h"

#include "base/handles_win.h"
#include "base/paths.h"

namespace base {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

}  // namespace

bool IsLinkEntry(const WIN32_FIND_DATAW& data) {
  if (!(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
  return data.dwReserved0 == 0 || IsReparseTagNameSurrogate(data.dwReserved0);
}

std::optional<ItemIdentity> IdentityOf(const std::wstring& path, bool* missing) {
  win::unique_hfile file(CreateFileW(paths::Verbatim(path).c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file) {
    const DWORD error = GetLastError();
    if (missing) *missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    return std::nullopt;
  }
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(file.get(), &info)) return std::nullopt;
  return ItemIdentity{{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow},
                      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                      (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow};
}

// The listing of the item itself (no pattern) gives its reparse tag as its
// folder has it; the verbatim form has no closing separator, which would
// list what the link leads to instead.
bool IsLink(const std::wstring& path) {
  WIN32_FIND_DATAW data;
  win::unique_hfind find(
      FindFirstFileExW(paths::Verbatim(path).c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0));
  if (find) return IsLinkEntry(data);
  // A drive root cannot be listed as an item: its attributes tell.
  const DWORD attributes = GetFileAttributesW(paths::Verbatim(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

}  // namespace base
