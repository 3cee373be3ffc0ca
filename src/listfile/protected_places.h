// Protected locations: the folders whose loss would wreck the system or a
// user's data (drive roots, Windows, Program Files, ProgramData, Users, the
// profile folders, the desktops). This part holds what is said about them and
// the spelling rules; protected_places_win.h finds them on the system.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

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

// "the Windows folder", "a drive root", ...
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
// The load warning: the first few findings, then "... and N more".
std::wstring LoadWarningText(const std::vector<Finding>& findings);

// The same folder in one plain spelling: "/" read as "\", a "\\?\" or "\\.\"
// prefix dropped ("\\?\UNC\" back to "\\"), "X:" read as the root "X:\", and
// no closing "\" except on a root. Case, short names, "." and ".." are left
// to the file system.
std::wstring PlainSpelling(const std::wstring& path);
// The length of the root of a plain spelling: 3 for "C:\", the length of
// "\\server\share\" for a share, 0 for a relative path.
size_t RootLength(const std::wstring& plain);
// How many names follow the root: 0 for a root, 1 for "C:\Windows", ...
size_t Depth(const std::wstring& plain);
// True when a plain spelling is already the full path the platform would
// make of it: a drive root, then names that are neither "." nor ".." and do
// not end in a dot or a blank. The search's folders are spelled so, and
// need no trip through the platform's path rules.
bool IsPlainFull(const std::wstring& plain);

}  // namespace listfile
