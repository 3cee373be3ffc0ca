// The path grammar (portable string handling only).
#include "base/paths.h"

#include <algorithm>
#include <cwctype>

namespace base::paths {
namespace {

wchar_t UpperAscii(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

bool StartsWith(const std::wstring& text, const wchar_t* prefix) {
  return text.compare(0, std::char_traits<wchar_t>::length(prefix), prefix) == 0;
}

// The prefixes are ASCII; no text is made for them, as this runs for every
// listed item, on several threads at once.
bool StartsWithNoCase(const std::wstring& text, const wchar_t* prefix) {
  const size_t length = std::char_traits<wchar_t>::length(prefix);
  if (text.size() < length) return false;
  for (size_t i = 0; i < length; ++i)
    if (std::towupper(text[i]) != std::towupper(prefix[i])) return false;
  return true;
}

// The path without its "\\?\" prefix ("\\?\UNC\" back to "\\"), and with
// `devices` without the device form "\\.\" too, which reaches the same items.
std::wstring WithoutPrefix(const std::wstring& path, bool devices) {
  if (StartsWith(path, L"\\\\?\\UNC\\") || (devices && StartsWith(path, L"\\\\.\\UNC\\")))
    return L"\\\\" + path.substr(8);
  if (StartsWith(path, L"\\\\?\\") || (devices && StartsWith(path, L"\\\\.\\"))) return path.substr(4);
  return path;
}

bool IsDriveStart(const std::wstring& path, size_t at) {
  return path.size() >= at + 3 && IsDriveLetter(path[at]) && path[at + 1] == L':' && IsSeparator(path[at + 2]);
}

// The part after a "\\?\" or "\\?\UNC\" prefix or the "\\" of a share, or the
// whole path.
size_t BodyStart(const std::wstring& path) {
  if (StartsWithNoCase(path, L"\\\\?\\UNC\\")) return 8;
  if (StartsWith(path, L"\\\\?\\")) return 4;
  if (StartsWith(path, L"\\\\")) return 2;
  return 0;
}

bool IsDeviceName(std::wstring_view name) {
  std::wstring_view stem = name.substr(0, name.find(L'.'));
  while (!stem.empty() && stem.back() == L' ') stem.remove_suffix(1);
  // Device names are short: a longer stem is none (and costs no copy).
  if (stem.size() < 3 || stem.size() > 7) return false;
  std::wstring upper(stem);
  for (wchar_t& c : upper) c = static_cast<wchar_t>(std::towupper(c));
  if (upper == L"CON" || upper == L"PRN" || upper == L"AUX" || upper == L"NUL" || upper == L"CONIN$" ||
      upper == L"CONOUT$")
    return true;
  if (upper.size() != 4 || (upper.compare(0, 3, L"COM") != 0 && upper.compare(0, 3, L"LPT") != 0)) return false;
  const wchar_t digit = upper[3];
  return (digit >= L'1' && digit <= L'9') || digit == L'\u00B9' || digit == L'\u00B2' || digit == L'\u00B3';
}

// The root of a full path, read in any spelling: its length in `path`
// (where the names begin) and, in `root`, its canonical text ("C:\" or
// "\\server\share\", or with the "\\?\" and "\\?\UNC\" prefix when
// `verbatim`). npos when the path is not full.
size_t ReadRoot(const std::wstring& path, bool verbatim, std::wstring& root) {
  size_t at = 0;
  bool unc = false;
  if (StartsWith(path, L"\\\\?\\")) {
    unc = StartsWithNoCase(path, L"\\\\?\\UNC\\");
    at = unc ? 8 : 4;
  } else {
    unc = path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]);
    at = unc ? 2 : 0;
  }
  if (!unc) {
    if (!IsDriveStart(path, at)) return std::wstring::npos;
    root.assign(verbatim ? L"\\\\?\\" : L"").append(path, at, 2).push_back(L'\\');
    return at + 3;
  }
  size_t server = at;
  while (server < path.size() && !IsSeparator(path[server])) ++server;
  if (server == at || server + 1 >= path.size() || IsSeparator(path[server + 1])) return std::wstring::npos;
  const std::wstring_view serverName = std::wstring_view(path).substr(at, server - at);
  if (at == 2 && (serverName == L"?" || serverName == L".")) return std::wstring::npos;  // a device namespace
  size_t share = server + 1;
  while (share < path.size() && !IsSeparator(path[share])) ++share;
  root.assign(verbatim ? L"\\\\?\\UNC\\" : L"\\\\").append(serverName).push_back(L'\\');
  root.append(path, server + 1, share - server - 1).push_back(L'\\');
  return std::min(share + 1, path.size());
}

// The canonical form (see Canonical), with the prefix when `verbatim`; the
// empty text when the path is not full.
std::wstring CanonicalForm(const std::wstring& path, bool verbatim) {
  std::wstring result;
  const size_t start = ReadRoot(path, verbatim, result);
  if (start == std::wstring::npos) return std::wstring();
  const size_t rootSize = result.size();
  result.reserve(rootSize + path.size() - start);
  for (size_t at = start; at < path.size();) {
    size_t end = at;
    while (end < path.size() && !IsSeparator(path[end])) ++end;
    const std::wstring_view name = std::wstring_view(path).substr(at, end - at);
    if (name == L"..") {
      const size_t slash = result.find_last_of(L'\\');
      result.resize(slash >= rootSize ? slash : rootSize);
    } else if (!name.empty() && name != L".") {
      if (result.size() > rootSize) result += L'\\';
      result.append(name);
    }
    at = end + 1;
  }
  return result;
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

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsFullPath(const std::wstring& path) {
  std::wstring root;
  return ReadRoot(path, false, root) != std::wstring::npos;
}

bool HasInvalidCharacter(const std::wstring& path) {
  for (size_t i = BodyStart(path); i < path.size(); ++i) {
    const wchar_t c = path[i];
    if (c < 32 || c == L'<' || c == L'>' || c == L'"' || c == L'|' || c == L'?' || c == L'*') return true;
    if (c == L':' && !(i == BodyStart(path) + 1 && IsDriveStart(path, BodyStart(path)))) return true;
  }
  return false;
}

bool IsDevicePath(const std::wstring& path) {
  return StartsWith(path, L"\\\\.\\") || StartsWith(path, L"//./") || StartsWith(path, L"\\??\\") ||
         StartsWithNoCase(path, L"\\\\?\\GLOBALROOT") || IsDeviceName(LastName(path));
}

std::wstring Canonical(const std::wstring& path) { return CanonicalForm(path, false); }

std::wstring Verbatim(const std::wstring& path) {
  std::wstring verbatim = CanonicalForm(path, true);
  return verbatim.empty() ? path : verbatim;
}

std::wstring Root(const std::wstring& path) {
  std::wstring root;
  if (ReadRoot(path, false, root) == std::wstring::npos) return std::wstring();
  return root;
}

std::wstring ShortForm(const std::wstring& path) { return WithoutPrefix(path, false); }

std::wstring ShellPath(const std::wstring& path) { return WithoutSeparator(ShortForm(Verbatim(path))); }

bool HasNameThatPlainFormChanges(const std::wstring& path) {
  for (size_t i = 0; i < path.size(); ++i) {
    if (path[i] != L'.' && path[i] != L' ') continue;
    const bool nameEnds = i + 1 == path.size() || IsSeparator(path[i + 1]);
    if (!nameEnds) continue;
    size_t first = i;
    while (first > 0 && !IsSeparator(path[first - 1])) --first;
    if (!IsStep(std::wstring_view(path).substr(first, i + 1 - first))) return true;
  }
  return false;
}

std::wstring WithoutTrailingDotsAndBlanks(const std::wstring& path) {
  std::wstring out;
  out.reserve(path.size());
  size_t nameStart = 0;
  for (size_t i = 0; i <= path.size(); ++i) {
    if (i < path.size() && !IsSeparator(path[i])) continue;
    std::wstring_view name = std::wstring_view(path).substr(nameStart, i - nameStart);
    const size_t last = name.find_last_not_of(L". ");
    if (!IsStep(name) && last != std::wstring_view::npos) name = name.substr(0, last + 1);
    out.append(name);
    if (i < path.size()) out.push_back(path[i]);
    nameStart = i + 1;
  }
  return out;
}

std::wstring WithSeparator(std::wstring path) {
  if (path.empty() || path.back() != L'\\') path += L'\\';
  return path;
}

std::wstring WithoutSeparator(std::wstring path) {
  while (path.size() > 3 && IsSeparator(path.back())) path.pop_back();
  return path;
}

std::wstring EntryPath(const std::wstring& folderWithSeparator, std::wstring_view name, bool folder) {
  std::wstring path;
  path.reserve(folderWithSeparator.size() + name.size() + (folder ? 1 : 0));
  path.append(folderWithSeparator).append(name);
  if (folder) path += L'\\';
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

size_t LastSeparator(std::wstring_view path) { return path.find_last_of(L"\\/"); }

size_t NextSeparator(std::wstring_view path, size_t from) { return path.find_first_of(L"\\/", from); }

std::vector<std::wstring_view> SplitNames(std::wstring_view path) {
  std::vector<std::wstring_view> names;
  for (size_t start = 0;;) {
    const size_t end = NextSeparator(path, start);
    names.push_back(path.substr(start, end == std::wstring_view::npos ? std::wstring_view::npos : end - start));
    if (end == std::wstring_view::npos) return names;
    start = end + 1;
  }
}

std::wstring FolderPart(const std::wstring& path) {
  const size_t end = LastSeparator(path);
  return end == std::wstring::npos ? std::wstring() : path.substr(0, end);
}

size_t FilePartPos(const std::wstring& fullPath) {
  const size_t last = fullPath.rfind(L'\\');
  if (last == std::wstring::npos) return 1;
  // The file part never starts inside the root ("C:" or "\\server\share").
  if (last < RootNameEnd(fullPath)) return fullPath.size() + 1;
  return last + 2;
}

std::wstring Qualify(const std::wstring& path) {
  std::wstring result = path;
  if (result.empty()) return result;
  if (result.back() == L':') result += L'\\';
  if (result.size() > 3 && result.back() == L'\\') result.pop_back();
  return result;
}

size_t ParentEnd(std::wstring_view path) {
  size_t end = path.size();
  while (end > 0 && IsSeparator(path[end - 1])) --end;
  if (end == 0) return std::wstring::npos;
  const size_t slash = path.find_last_of(L"\\/", end - 1);
  return slash;
}

bool KeyBelow(std::wstring_view below, std::wstring_view folder) {
  if (folder.empty() || below.size() <= folder.size() || below.compare(0, folder.size(), folder) != 0) return false;
  return IsSeparator(folder.back()) || IsSeparator(below[folder.size()]);
}

std::wstring ParentOf(const std::wstring& path) {
  const size_t end = ParentEnd(path);
  return end == std::wstring::npos ? std::wstring() : path.substr(0, end + 1);
}

std::wstring_view LastName(const std::wstring& path) {
  size_t end = path.size();
  while (end > 0 && IsSeparator(path[end - 1])) --end;
  const size_t start = path.find_last_of(L"\\/", end == 0 ? 0 : end - 1);
  const size_t from = start == std::wstring::npos || end == 0 ? 0 : start + 1;
  return std::wstring_view(path).substr(from, end - from);
}

bool IsStep(std::wstring_view name) { return name == L"." || name == L".."; }

std::wstring PlainSpelling(const std::wstring& path) {
  std::wstring plain = path;
  std::replace(plain.begin(), plain.end(), L'/', L'\\');
  plain = WithoutPrefix(plain, true);
  if (std::wstring canonical = Canonical(plain); !canonical.empty()) return canonical;
  const size_t root = RootLength(plain);
  if (root > 0 && root == plain.size() && plain.back() != L'\\') return plain + L'\\';
  while (plain.size() > std::max<size_t>(root, 1) && plain.back() == L'\\') plain.pop_back();
  return plain;
}

size_t RootLength(const std::wstring& plain) {
  if (plain.size() >= 2 && plain[1] == L':' && std::iswalpha(plain[0]))
    return plain.size() >= 3 && plain[2] == L'\\' ? 3 : 2;
  if (!StartsWith(plain, L"\\\\")) return 0;
  const size_t server = plain.find(L'\\', 2);
  if (server == std::wstring::npos) return plain.size();
  const size_t share = plain.find(L'\\', server + 1);
  return share == std::wstring::npos ? plain.size() : share + 1;
}

size_t RootNameEnd(const std::wstring& plain) {
  const size_t root = RootLength(plain);
  return root > 0 && plain[root - 1] == L'\\' ? root - 1 : root;
}

bool IsPlainFull(const std::wstring& plain) {
  if (RootLength(plain) != 3) return false;
  size_t start = 3;
  while (start < plain.size()) {
    const size_t end = std::min(plain.find(L'\\', start), plain.size());
    if (end == start || plain[end - 1] == L'.' || plain[end - 1] == L' ') return false;
    start = end + 1;
  }
  return plain.size() == 3 || plain.back() != L'\\';
}

size_t Depth(const std::wstring& plain) {
  size_t depth = 0;
  bool inName = false;
  for (size_t i = RootLength(plain); i < plain.size(); ++i) {
    if (plain[i] == L'\\') {
      inName = false;
    } else if (!inName) {
      inName = true;
      ++depth;
    }
  }
  return depth;
}

bool FoldAscii(std::wstring_view text, wchar_t* out) {
  for (size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (c >= 0x80) return false;
    out[i] = UpperAscii(c);
  }
  return true;
}

FoldedName::FoldedName(std::wstring_view name) {
  if (name.size() <= kMaxPath && FoldAscii(name, buffer_)) {
    view_ = std::wstring_view(buffer_, name.size());
  } else {
    text_ = FoldCase(std::wstring(name));
    view_ = text_;
  }
}

void AppendPathKey(const std::wstring& path, std::wstring& out) {
  // Nearly every listed path is a plain full path with a drive letter,
  // which is its own plain form: folded straight into `out`.
  const bool plain = path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == L':' && path[2] == L'\\' &&
                     AlreadyPlain(path, 3) && path.find(L'~') == std::wstring::npos;
  if (!plain) {
    std::wstring key = Canonical(path);
    if (key.empty()) {
      key = path;  // not full: as written, with one separator
      std::replace(key.begin(), key.end(), L'/', L'\\');
    } else if (key.find(L'~') != std::wstring::npos) {
      key = LongNames(key);
    }
    while (key.size() > 1 && IsSeparator(key.back())) key.pop_back();
    out += FoldCase(std::move(key));
    return;
  }
  size_t end = path.size();
  while (end > 1 && IsSeparator(path[end - 1])) --end;
  const size_t start = out.size();
  out.resize(start + end);
  if (!FoldAscii(std::wstring_view(path.data(), end), &out[start]))
    out.replace(start, std::wstring::npos, FoldCase(path.substr(0, end)));
}

std::wstring PathKey(const std::wstring& path) {
  std::wstring key;
  AppendPathKey(path, key);
  return key;
}

bool SamePath(const std::wstring& a, const std::wstring& b) { return PathKey(a) == PathKey(b); }

bool SameText(std::wstring_view a, std::wstring_view b) {
  // Folding maps one code unit to one, so texts of different lengths never
  // match. Names are nearly always plain ASCII: those compare with no text made.
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const wchar_t x = a[i], y = b[i];
    if (x >= 0x80 || y >= 0x80) return FoldCase(std::wstring(a.substr(i))) == FoldCase(std::wstring(b.substr(i)));
    if (UpperAscii(x) != UpperAscii(y)) return false;
  }
  return true;
}

}  // namespace base::paths
