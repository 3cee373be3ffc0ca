// Protected locations on Win32: the shell's known folders, every profile in
// the Users folder and the fixed drives' roots, compared with a path by the
// identity of the folder it opens. Paths that cannot be opened fall back to
// comparing full long paths without regard to case.
#include "listfile/protected_places_win.h"

#include <algorithm>
#include <iterator>

#include "base/folder_listing_win.h"
#include "base/paths.h"
#include "base/paths_win.h"
#include "base/system_folders_win.h"

namespace listfile {
namespace {

using base::paths::Depth;
using base::paths::RootLength;

using base::IdentityOf;
using Identity = base::ItemIdentity;

using base::paths::LongNames;
using base::paths::PlainFullPath;

using base::system::KnownFolder;

std::vector<FolderId> FixedDriveRoots() {
  std::vector<FolderId> roots;
  wchar_t drives[4 * 26 + 1] = L"";
  DWORD n = GetLogicalDriveStringsW(static_cast<DWORD>(std::size(drives)), drives);
  if (n == 0 || n >= std::size(drives)) return roots;
  for (const wchar_t* root = drives; *root; root += wcslen(root) + 1) {
    const UINT type = GetDriveTypeW(root);
    if (type != DRIVE_FIXED && type != DRIVE_RAMDISK) continue;
    if (const std::optional<Identity> identity = IdentityOf(root)) roots.push_back(identity->id);
  }
  return roots;
}

}  // namespace

void ProtectedPlaces::AddFolder(Place place, const std::wstring& path) {
  if (path.empty()) return;
  const std::wstring full = PlainFullPath(path);
  ProtectedFolder folder{place, LongNames(full), std::nullopt};
  if (const std::optional<Identity> identity = IdentityOf(full)) folder.id = identity->id;
  // One folder reached by two names (Program Files on a 32-bit system, links
  // among the profiles) keeps its first, more telling, place.
  for (const ProtectedFolder& known : folders_) {
    if (folder.id ? known.id == folder.id : base::paths::SamePath(known.longPath, folder.longPath)) return;
  }
  maxDepth_ = std::max(maxDepth_, Depth(folder.longPath));
  names_.emplace_back(base::paths::LastName(folder.longPath));
  const std::wstring shortPath = base::paths::ShortNames(folder.longPath);
  const std::wstring shortName(base::paths::LastName(shortPath));
  if (!shortName.empty() && !base::paths::SameText(shortName, names_.back())) names_.push_back(shortName);
  folders_.push_back(std::move(folder));
}

// Every folder directly inside the Users folder is somebody's profile (or
// Public, or the template for new ones).
void ProtectedPlaces::AddProfiles(const std::wstring& usersFolder) {
  if (usersFolder.empty()) return;
  const std::wstring users = PlainFullPath(usersFolder);
  base::ListEntries(base::paths::WithSeparator(users), L"*", [&](const WIN32_FIND_DATAW& data) {
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      AddFolder(Place::Profile, base::paths::JoinPath(users, data.cFileName));
    return true;
  });
}

void ProtectedPlaces::Resolve() {
  resolved_ = true;
  AddFolder(Place::Windows, base::system::WindowsFolder());
  AddFolder(Place::ProgramFiles, KnownFolder(FOLDERID_ProgramFiles));
  AddFolder(Place::ProgramFiles, KnownFolder(FOLDERID_ProgramFilesX86));
  // The 64-bit Program Files, which a 32-bit program's own lookups never name.
  AddFolder(Place::ProgramFiles, base::system::EnvironmentValue(L"ProgramW6432"));
  AddFolder(Place::ProgramData, KnownFolder(FOLDERID_ProgramData));
  AddFolder(Place::Desktop, KnownFolder(FOLDERID_Desktop));
  AddFolder(Place::CommonDesktop, KnownFolder(FOLDERID_PublicDesktop));
  AddFolder(Place::OwnProfile, KnownFolder(FOLDERID_Profile));
  const std::wstring users = base::system::ProfilesFolder();
  AddFolder(Place::Users, users);
  AddProfiles(users);
  driveRoots_ = FixedDriveRoots();
}

const std::vector<ProtectedFolder>& ProtectedPlaces::Folders() {
  if (!resolved_) Resolve();
  return folders_;
}

std::optional<Place> ProtectedPlaces::Match(const std::wstring& full) {
  if (full.empty()) return std::nullopt;
  if (RootLength(full) == full.size()) return Place::DriveRoot;
  bool missing = false;
  const std::optional<Identity> identity = IdentityOf(full, &missing);
  // Every protected folder exists, and none is a file.
  if (missing || (identity && !identity->folder)) return std::nullopt;
  if (!resolved_) Resolve();
  if (!identity) {
    const std::wstring longPath = LongNames(full);
    for (const ProtectedFolder& folder : folders_) {
      if (base::paths::SamePath(folder.longPath, longPath)) return folder.place;
    }
    return std::nullopt;
  }
  for (const ProtectedFolder& folder : folders_) {
    if (folder.id == identity->id) return folder.place;
  }
  const bool driveRoot = std::find(driveRoots_.begin(), driveRoots_.end(), identity->id) != driveRoots_.end();
  if (driveRoot || base::paths::IsDriveRoot(full)) return Place::DriveRoot;
  return std::nullopt;
}

std::optional<Place> ProtectedPlaces::Find(const std::wstring& path) { return Match(PlainFullPath(path)); }

// Short names, case, separators and prefixes never change how deep a full
// path is, so a deeper path can only be a protected folder through a link.
std::optional<Place> ProtectedPlaces::FindIfShallow(const std::wstring& path) {
  const std::wstring full = PlainFullPath(path);
  if (!resolved_) Resolve();
  if (Depth(full) > maxDepth_) return std::nullopt;
  if (RootLength(full) == full.size()) return Match(full);
  // Only a folder named like a protected one (long or short name) is looked
  // at on disk, so a list of many shallow folders still loads at once.
  const std::wstring name(base::paths::LastName(full));
  const bool named =
      std::any_of(names_.begin(), names_.end(), [&](const std::wstring& n) { return base::paths::SameText(n, name); });
  return named ? Match(full) : std::nullopt;
}

bool Confirm(HWND owner, const std::wstring& folder, Place place) {
  const std::wstring question = QuestionText(folder, place);
  return MessageBoxW(owner, question.c_str(), kTitle, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

bool MayAdd(HWND owner, ProtectedPlaces& places, const std::wstring& path) {
  const std::optional<Place> place = places.Find(path);
  return !place || Confirm(owner, path, *place);
}

}  // namespace listfile
