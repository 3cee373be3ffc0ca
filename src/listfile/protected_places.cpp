// Protected locations: their names, the question and the load warning
// (portable).
#include "listfile/protected_places.h"

#include <algorithm>
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
    {Place::DriveRoot, L"a drive's root", L"the whole drive"},
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

}  // namespace

std::wstring PlaceName(Place place) { return TextOf(place).name; }

std::wstring PlaceHolds(Place place) { return TextOf(place).holds; }

std::wstring QuestionText(const std::wstring& folder, Place place) {
  return folder + L" is " + PlaceName(place) + L". It holds " + PlaceHolds(place) +
         L".\n\nAdding it to the delete list puts all of that up for deletion. Do you want to add it anyway?";
}

std::wstring LoadWarningText(const std::vector<Finding>& findings, const base::text::NumberStyle& style) {
  std::wstring text = L"This list names protected locations as folders to remove:\n";
  const size_t listed = std::min(findings.size(), kWarnListed);
  for (size_t i = 0; i < listed; ++i)
    text +=
        L"\n" + findings[i].path + L" (" + PlaceName(findings[i].place) + L": " + PlaceHolds(findings[i].place) + L")";
  if (findings.size() > listed)
    text += L"\n... and " + base::text::GroupedNumber(findings.size() - listed, style) + L" more";
  return text + L"\n\nCheck these entries before you save or use the list.";
}

}  // namespace listfile
