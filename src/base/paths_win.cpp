// Resolving paths with the platform where the program's own rules stop.
#include "base/paths_win.h"

#include <windows.h>

#include <vector>

#include "base/handles_win.h"
#include "base/paths.h"
#include "base/system_folders_win.h"

namespace base::paths {

namespace {

// The platform's full form of a short path it can resolve alone: the
// current folder ("."), or a drive's current folder ("C:.").
std::wstring PlatformFullPath(const std::wstring& path) {
  DWORD need = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (need == 0) return std::wstring();
  std::wstring full(need, L'\0');
  DWORD length = GetFullPathNameW(path.c_str(), need, &full[0], nullptr);
  if (length == 0 || length >= need) return std::wstring();
  full.resize(length);
  return full;
}

}  // namespace

std::wstring FullPathName(const std::wstring& path) {
  if (std::wstring canonical = Canonical(path); !canonical.empty()) return canonical;
  if (path.empty()) return path;
  // A device keeps the platform's reading ("\\.\CON"), which no check
  // takes for a file.
  if (IsDevicePath(path)) return ShortForm(PlatformFullPath(path));
  // Relative: against the current folder, as a console user means it, with
  // every name kept as written (the platform would drop trailing dots).
  const bool driveRelative = path.size() >= 2 && path[1] == L':';
  const bool rootRelative = !driveRelative && IsSeparator(path[0]);
  std::wstring base = PlatformFullPath(driveRelative ? path.substr(0, 2) + L"." : std::wstring(L"."));
  if (rootRelative) base = Root(base);
  if (base.empty()) return base;
  return Canonical(base + L"\\" + path.substr(driveRelative ? 2 : 0));
}

std::wstring PlainFullPath(const std::wstring& path) {
  std::wstring plain = PlainSpelling(path);
  return IsPlainFull(plain) ? plain : PlainSpelling(FullPathName(plain));
}

bool IsDriveRoot(const std::wstring& apiPath, DWORD attributes) {
  // A verbatim path with a name below its drive letter's root, and no "/"
  // or name starting with a dot to resolve, is no root unless it is a
  // mount point (a reparse point). Nearly every listed folder is such.
  const bool plainFolder = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
  if (plainFolder && apiPath.size() > 8 && apiPath.compare(0, 4, L"\\\\?\\") == 0 && apiPath[5] == L':' &&
      apiPath[6] == L'\\' && apiPath[7] != L'\\' && apiPath.find(L'/') == std::wstring::npos &&
      apiPath.find(L"\\.") == std::wstring::npos)
    return false;
  // Spelling does not matter: forward slashes, "." and ".." are resolved first.
  const std::wstring shortForm = ShortForm(apiPath);
  std::wstring full(shortForm.size() + MAX_PATH, L'\0');
  const DWORD n = GetFullPathNameW(shortForm.c_str(), static_cast<DWORD>(full.size()), &full[0], nullptr);
  if (n == 0 || n >= full.size()) return false;
  full = WithSeparator(full.substr(0, n));
  if (full.size() == 3 && full[1] == L':') return true;
  if (full == Root(full)) return true;
  if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
  std::vector<wchar_t> volume(full.size() + MAX_PATH);
  if (!GetVolumePathNameW(full.c_str(), volume.data(), static_cast<DWORD>(volume.size()))) return false;
  return SameText(WithSeparator(volume.data()), full);
}

bool IsGone(const std::wstring& apiPath) {
  if (GetFileAttributesW(apiPath.c_str()) != INVALID_FILE_ATTRIBUTES) return false;
  return IsNotFound(GetLastError());
}

bool IsNotFound(DWORD code) { return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND; }

std::wstring FoldCase(std::wstring text) {
  // Nearly every name is plain ASCII, which folds the same everywhere; what
  // the fast fold leaves is folded over all of Unicode.
  if (text.empty() || FoldAscii(text, &text[0])) return text;
  const int length = static_cast<int>(text.size());
  // Upper case maps one code unit to one, so the length stays.
  std::wstring folded(text.size(), L'\0');
  if (LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, text.c_str(), length, &folded[0], length, nullptr, nullptr,
                    0) == length)
    return folded;
  for (wchar_t& c : text)
    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
  return text;
}

// The longest part of the path that the disk has is asked for its long
// names; the rest, which the disk does not have, is kept as written.
std::wstring LongNames(const std::wstring& path) {
  std::wstring head = ShortForm(Verbatim(path)), tail;
  const size_t root = Root(head).size();
  if (root == 0) return path;
  while (head.size() > root) {
    // Wine gives a prefixed path back unchanged: the plain form goes where it
    // names the same item.
    const bool plain = head.size() < MAX_PATH && !HasNameThatPlainFormChanges(head);
    const std::wstring apiPath = plain ? head : Verbatim(head);
    const DWORD need = GetLongPathNameW(apiPath.c_str(), nullptr, 0);
    if (need) {
      std::wstring longer(need, L'\0');
      const DWORD length = GetLongPathNameW(apiPath.c_str(), &longer[0], need);
      if (length && length < need) return ShortForm(longer.substr(0, length)) + tail;
    }
    const size_t slash = head.find_last_of(L'\\');
    if (slash == std::wstring::npos || slash < root) break;
    tail.insert(0, head, slash, std::wstring::npos);
    head.resize(slash);
  }
  return path;
}

std::wstring ShortNames(const std::wstring& path) {
  wchar_t shortPath[MAX_PATH] = L"";
  const DWORD n = GetShortPathNameW(path.c_str(), shortPath, MAX_PATH);
  return n > 0 && n < MAX_PATH ? PlainSpelling(shortPath) : std::wstring();
}

std::wstring ProgramPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
    if (n == 0) {
      const DWORD error = GetLastError();
      path.clear();
      path.shrink_to_fit();
      SetLastError(error);  // kept past the freeing of the buffer
      return path;
    }
    if (n < path.size()) {
      path.resize(n);
      // In the one spelling, also when the program was started by a
      // verbatim or otherwise unusual path.
      std::wstring canonical = Canonical(path);
      return canonical.empty() ? path : canonical;
    }
    path.resize(path.size() * 2);
  }
}

std::wstring ProgramFolder() { return FolderPart(ProgramPath()); }

std::wstring OwnLocalFolder() {
  const std::wstring local = system::KnownFolder(FOLDERID_LocalAppData, KF_FLAG_CREATE);
  return local.empty() ? local : JoinPath(local, L"Ombrelay");
}

}  // namespace base::paths
