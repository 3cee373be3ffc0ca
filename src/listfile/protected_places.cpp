// Protected locations: their names, the question, the load warning and the
// spelling rules (portable).
#include "listfile/protected_places.h"

#include <algorithm>
#include <cwctype>
#include <iterator>

namespace listfile {

const wchar_t kTitle[] = L"Protected location";

namespace {

struct PlaceText {
  Place place;
  const wchar_t* name;
  const wchar_t* holds;
};

const PlaceText kPlaceTexts[] = {
    {Place::DriveRoot, L"a drive root", L"the whole drive"},
    {Place::Windows, L"the Windows folder", L"Windows itself"},
    {Place::ProgramFiles, L"a Program Files folder", L"installed programs"},
    {Place::ProgramData, L"the ProgramData folder", L"settings and data of every program"},
    {Place::Users, L"the Users folder", L"every user's files"},
    {Place::OwnProfile, L"your profile folder", L"your own files and settings"},
    {Place::Profile, L"a user's profile folder", L"that user's files and settings"},
    {Place::Desktop, L"your Desktop folder", L"the files on your desktop"},
    {Place::CommonDesktop, L"the shared Desktop folder", L"the files on every user's desktop"},
};

const PlaceText& TextOf(Place place) {
  auto found = std::find_if(std::begin(kPlaceTexts), std::end(kPlaceTexts),
                            [place](const PlaceText& t) { return t.place == place; });
  return found != std::end(kPlaceTexts) ? *found : kPlaceTexts[0];
}

bool IsSeparator(wchar_t c) { return c == L'\\'; }

bool StartsWith(const std::wstring& text, const wchar_t* prefix) { return text.rfind(prefix, 0) == 0; }

// Drops "\\?\" and "\\.\" (the long-path and device forms of the same path).
std::wstring WithoutPrefix(const std::wstring& path) {
  if (StartsWith(path, L"\\\\?\\UNC\\") || StartsWith(path, L"\\\\.\\UNC\\")) return L"\\\\" + path.substr(8);
  if (StartsWith(path, L"\\\\?\\") || StartsWith(path, L"\\\\.\\")) return path.substr(4);
  return path;
}

}  // namespace

std::wstring PlaceName(Place place) { return TextOf(place).name; }

std::wstring PlaceHolds(Place place) { return TextOf(place).holds; }

std::wstring QuestionText(const std::wstring& folder, Place place) {
  return folder + L" is " + PlaceName(place) + L". It holds " + PlaceHolds(place) +
         L".\n\nAdding it to the delete list puts all of that up for deletion. Do you want to add it anyway?";
}

std::wstring LoadWarningText(const std::vector<Finding>& findings) {
  std::wstring text = L"This list names protected locations as folders to remove:\n";
  const size_t listed = std::min(findings.size(), kWarnListed);
  for (size_t i = 0; i < listed; ++i)
    text += L"\n" + findings[i].path + L" (" + PlaceName(findings[i].place) + L": " +
            PlaceHolds(findings[i].place) + L")";
  if (findings.size() > listed) text += L"\n... and " + std::to_wstring(findings.size() - listed) + L" more";
  return text + L"\n\nCheck these entries before you save or use the list.";
}

std::wstring PlainSpelling(const std::wstring& path) {
  std::wstring plain = path;
  std::replace(plain.begin(), plain.end(), L'/', L'\\');
  plain = WithoutPrefix(plain);
  const size_t root = RootLength(plain);
  if (root > 0 && root == plain.size() && !IsSeparator(plain.back())) return plain + L'\\';
  while (plain.size() > std::max<size_t>(root, 1) && IsSeparator(plain.back())) plain.pop_back();
  return plain;
}

size_t RootLength(const std::wstring& plain) {
  if (plain.size() >= 2 && plain[1] == L':' && iswalpha(plain[0]))
    return plain.size() >= 3 && IsSeparator(plain[2]) ? 3 : 2;
  if (!StartsWith(plain, L"\\\\")) return 0;
  const size_t server = plain.find(L'\\', 2);
  if (server == std::wstring::npos) return plain.size();
  const size_t share = plain.find(L'\\', server + 1);
  return share == std::wstring::npos ? plain.size() : share + 1;
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
    if (IsSeparator(plain[i])) {
      inName = false;
    } else if (!inName) {
      inName = true;
      ++depth;
    }
  }
  return depth;
}

}  // namespace listfile
