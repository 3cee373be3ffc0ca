// Verbatim path forms (portable string handling only).
#include "base/paths.h"

#include <vector>

namespace base::paths {
namespace {

bool IsSlash(wchar_t c) { return c == L'\\' || c == L'/'; }

bool HasPrefix(const std::wstring& path) {
  return path.size() >= 4 && IsSlash(path[0]) && IsSlash(path[1]) && (path[2] == L'?' || path[2] == L'.') &&
         IsSlash(path[3]);
}

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

// Where the names after the root begin ("C:\" or "\\server\share\"), or
// npos when the path is not full. `prefix` gets the verbatim root.
size_t RootEnd(const std::wstring& path, std::wstring& prefix) {
  if (path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == L':' && IsSlash(path[2])) {
    prefix = L"\\\\?\\" + path.substr(0, 2) + L'\\';
    return 3;
  }
  if (path.size() < 5 || !IsSlash(path[0]) || !IsSlash(path[1]) || IsSlash(path[2])) return std::wstring::npos;
  size_t server = 2;
  while (server < path.size() && !IsSlash(path[server])) ++server;
  size_t share = server + 1;
  if (share >= path.size() || IsSlash(path[share])) return std::wstring::npos;
  while (share < path.size() && !IsSlash(path[share])) ++share;
  prefix = L"\\\\?\\UNC\\" + path.substr(2, server - 2) + L'\\' + path.substr(server + 1, share - server - 1) + L'\\';
  return share + 1;
}

// True when the names after `start` need no resolving: no "/", no empty
// name, no "." or ".." name (a closing "\" is fine). Nearly every listed
// path is such, and then it is taken over whole.
bool AlreadyPlain(const std::wstring& path, size_t start) {
  size_t nameStart = start;
  for (size_t i = start; i <= path.size(); ++i) {
    const bool end = i == path.size();
    if (!end && path[i] == L'/') return false;
    if (!end && path[i] != L'\\') continue;
    const size_t length = i - nameStart;
    if (length == 0 && !end) return false;
    if ((length == 1 || length == 2) && path.compare(nameStart, length, L"..", length) == 0) return false;
    nameStart = i + 1;
  }
  return true;
}

}  // namespace

std::wstring Verbatim(const std::wstring& path) {
  if (HasPrefix(path)) return path;
  std::wstring result;
  const size_t start = RootEnd(path, result);
  if (start == std::wstring::npos) return path;
  if (start >= path.size()) return result;
  if (AlreadyPlain(path, start)) return result.append(path, start, std::wstring::npos);
  std::vector<std::wstring> names;
  for (size_t at = start; at < path.size();) {
    size_t end = at;
    while (end < path.size() && !IsSlash(path[end])) ++end;
    std::wstring name = path.substr(at, end - at);
    if (name == L"..") {
      if (!names.empty()) names.pop_back();
    } else if (!name.empty() && name != L".") {
      names.push_back(std::move(name));
    }
    at = end + 1;
  }
  for (size_t i = 0; i < names.size(); ++i) result += (i ? L"\\" : L"") + names[i];
  if (!names.empty() && start < path.size() && IsSlash(path.back())) result += L'\\';
  return result;
}

std::wstring Root(const std::wstring& path) {
  std::wstring root;
  if (RootEnd(ShortForm(path), root) == std::wstring::npos) return std::wstring();
  return ShortForm(root);
}

std::wstring ShortForm(const std::wstring& path) {
  if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0) return L"\\\\" + path.substr(8);
  if (path.compare(0, 4, L"\\\\?\\") == 0) return path.substr(4);
  return path;
}

bool HasNameThatPlainFormChanges(const std::wstring& path) {
  for (size_t i = 0; i < path.size(); ++i) {
    if (path[i] != L'.' && path[i] != L' ') continue;
    const bool nameEnds = i + 1 == path.size() || IsSlash(path[i + 1]);
    if (!nameEnds) continue;
    // "." and ".." on their own are steps, not names.
    size_t first = i;
    while (first > 0 && !IsSlash(path[first - 1])) --first;
    const std::wstring name = path.substr(first, i + 1 - first);
    if (name != L"." && name != L"..") return true;
  }
  return false;
}

std::wstring WithSeparator(std::wstring path) {
  if (path.empty() || path.back() != L'\\') path += L'\\';
  return path;
}

std::wstring WithoutSeparator(std::wstring path) {
  while (path.size() > 3 && path.back() == L'\\') path.pop_back();
  return path;
}

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name) {
  if (folder.empty()) return name;
  const bool folderEnds = folder.back() == L'\\';
  const bool nameStarts = !name.empty() && name.front() == L'\\';
  if (folderEnds && nameStarts) return folder + name.substr(1);
  if (folderEnds || nameStarts) return folder + name;
  return folder + L'\\' + name;
}

std::wstring FolderApiPath(const std::wstring& path) { return Verbatim(WithoutSeparator(path)); }

size_t ParentEnd(const std::wstring& path) {
  size_t end = path.size();
  while (end > 0 && IsSlash(path[end - 1])) --end;
  if (end == 0) return std::wstring::npos;
  const size_t slash = path.find_last_of(L"\\/", end - 1);
  return slash;
}

void AppendPathKey(const std::wstring& path, std::wstring& out) {
  // Nearly every listed path is a plain full path with a drive letter,
  // which is its own plain form: folded straight into `out`.
  const bool plain = path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == L':' && path[2] == L'\\' &&
                     AlreadyPlain(path, 3) && path.find(L'~') == std::wstring::npos;
  if (!plain) {
    std::wstring key = ShortForm(Verbatim(path));
    if (key.find(L'~') != std::wstring::npos) key = LongNames(key);
    while (key.size() > 1 && IsSlash(key.back())) key.pop_back();
    out += FoldCase(std::move(key));
    return;
  }
  size_t end = path.size();
  while (end > 1 && IsSlash(path[end - 1])) --end;
  const size_t start = out.size();
  bool ascii = true;
  for (size_t i = 0; i < end; ++i) {
    const wchar_t c = path[i];
    ascii = ascii && c < 0x80;
    out += c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
  }
  if (!ascii) out.replace(start, std::wstring::npos, FoldCase(out.substr(start)));
}

std::wstring PathKey(const std::wstring& path) {
  std::wstring key;
  AppendPathKey(path, key);
  return key;
}

bool SamePath(const std::wstring& a, const std::wstring& b) { return PathKey(a) == PathKey(b); }

}  // namespace base::paths
