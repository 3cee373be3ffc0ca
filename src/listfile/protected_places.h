// Protected locations: the folders whose loss would wreck the system or a
// user's data (drive roots, Windows, Program Files, ProgramData, Users, the
// profile folders, the desktops). This part holds what is said about them
// (their paths are spelled by base::paths::PlainSpelling); protected_places_win.h
// finds them on the system.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "base/texts.h"

namespace listfile {

enum class Place {
  DriveRoot,
  Windows,
  ProgramFiles,
  ProgramData,
  Users,
  OwnProfile,
  Profile,
  Desktop,
  CommonDesktop,
};

// The title of the question and of the load warning.
extern const wchar_t kTitle[];

// "the Windows folder", "a drive's root", ...
std::wstring PlaceName(Place place);
// What the folder holds: "Windows itself", "the whole drive", ...
std::wstring PlaceHolds(Place place);

// The Yes/No question asked before `folder` becomes an entry.
std::wstring QuestionText(const std::wstring& folder, Place place);

// One "Folder" record of a loaded list that names a protected folder.
struct Finding {
  std::wstring path;
  Place place;
};
// How many findings the load warning lists by name.
constexpr size_t kWarnListed = 5;
// The load warning: the first few findings, then "... and N more" (N in
// `style`).
std::wstring LoadWarningText(const std::vector<Finding>& findings,
                             const base::text::NumberStyle& style = base::text::NumberStyle());

}  // namespace listfile
