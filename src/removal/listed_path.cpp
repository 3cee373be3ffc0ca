// Checks on listed paths before a removal run tries them (portable).
#include "removal/listed_path.h"

#include <cwctype>

namespace removal {
namespace {

bool StartsWith(const std::wstring& text, const wchar_t* prefix) {
  return text.compare(0, std::char_traits<wchar_t>::length(prefix), prefix) == 0;
}

bool StartsWithNoCase(const std::wstring& text, const std::wstring& prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
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

std::wstring LastComponent(const std::wstring& path) {
  size_t end = path.size();
  while (end > 0 && IsSlash(path[end - 1])) --end;
  const size_t start = path.find_last_of(L"\\/", end == 0 ? 0 : end - 1);
  return path.substr(start == std::wstring::npos ? 0 : start + 1, end - (start == std::wstring::npos ? 0 : start + 1));
}

}  // namespace

bool IsDeviceName(const std::wstring& name) {
  std::wstring stem = name.substr(0, name.find(L'.'));
  while (!stem.empty() && stem.back() == L' ') stem.pop_back();
  for (wchar_t& c : stem) c = static_cast<wchar_t>(std::towupper(c));
  if (stem == L"CON" || stem == L"PRN" || stem == L"AUX" || stem == L"NUL" || stem == L"CONIN$" ||
      stem == L"CONOUT$")
    return true;
  if (stem.size() != 4 || (stem.compare(0, 3, L"COM") != 0 && stem.compare(0, 3, L"LPT") != 0)) return false;
  const wchar_t digit = stem[3];
  return (digit >= L'1' && digit <= L'9') || digit == L'\u00B9' || digit == L'\u00B2' || digit == L'\u00B3';
}

std::wstring PathRefusal(const std::wstring& path) {
  if (path.empty()) return L"no path is given";
  if (path.size() > kLongestPath) return L"the path is too long";
  if (StartsWith(path, L"\\\\.\\") || StartsWith(path, L"//./") || StartsWith(path, L"\\??\\") ||
      StartsWithNoCase(path, L"\\\\?\\GLOBALROOT") || IsDeviceName(LastComponent(path)))
    return L"a device, not a file or folder";
  if (!IsFullPath(path)) return L"not a full path";
  if (HasBadCharacter(path)) return L"the name is not valid";
  return std::wstring();
}

}  // namespace removal
