// Checks on listed paths before a removal run tries them (portable).
#include "removal/listed_path.h"

#include <cwctype>
#include <string_view>

namespace removal {
namespace {

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

bool IsSlash(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsDriveStart(const std::wstring& path, size_t at) {
  return path.size() >= at + 3 && std::iswalpha(path[at]) && path[at] < 128 && path[at + 1] == L':' &&
         IsSlash(path[at + 2]);
}

// \\server\share with both parts present.
bool IsUncStart(const std::wstring& path, size_t at) {
  const size_t server = path.find_first_of(L"\\/", at);
  if (server == std::wstring::npos || server == at) return false;
  return server + 1 < path.size() && !IsSlash(path[server + 1]);
}

// The part after a "\\?\" or "\\?\UNC\" prefix, or the whole path.
size_t BodyStart(const std::wstring& path) {
  if (StartsWithNoCase(path, L"\\\\?\\UNC\\")) return 8;
  if (StartsWith(path, L"\\\\?\\")) return 4;
  if (StartsWith(path, L"\\\\")) return 2;
  return 0;
}

bool IsFullPath(const std::wstring& path) {
  if (StartsWithNoCase(path, L"\\\\?\\UNC\\")) return IsUncStart(path, 8);
  if (StartsWith(path, L"\\\\?\\")) return IsDriveStart(path, 4);
  if (StartsWith(path, L"\\\\")) return IsUncStart(path, 2);
  return IsDriveStart(path, 0);
}

bool HasBadCharacter(const std::wstring& path) {
  for (size_t i = BodyStart(path); i < path.size(); ++i) {
    const wchar_t c = path[i];
    if (c < 32 || c == L'<' || c == L'>' || c == L'"' || c == L'|' || c == L'?' || c == L'*') return true;
    if (c == L':' && !(i == BodyStart(path) + 1 && IsDriveStart(path, BodyStart(path)))) return true;
  }
  return false;
}

// The last name of the path, closing separators left off.
std::wstring_view LastComponent(const std::wstring& path) {
  size_t end = path.size();
  while (end > 0 && IsSlash(path[end - 1])) --end;
  const size_t start = path.find_last_of(L"\\/", end == 0 ? 0 : end - 1);
  const size_t from = start == std::wstring::npos || end == 0 ? 0 : start + 1;
  return std::wstring_view(path).substr(from, end - from);
}

bool IsDeviceStem(std::wstring_view name) {
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

}  // namespace

bool IsDeviceName(const std::wstring& name) { return IsDeviceStem(name); }

std::wstring PathRefusal(const std::wstring& path) {
  if (path.empty()) return L"no path is given";
  if (path.size() > kLongestPath) return L"the path is too long";
  if (StartsWith(path, L"\\\\.\\") || StartsWith(path, L"//./") || StartsWith(path, L"\\??\\") ||
      StartsWithNoCase(path, L"\\\\?\\GLOBALROOT") || IsDeviceStem(LastComponent(path)))
    return L"a device, not a file or folder";
  if (!IsFullPath(path)) return L"not a full path";
  if (HasBadCharacter(path)) return L"the name is not valid";
  return std::wstring();
}

}  // namespace removal
