// Protected locations on this system: looks up the protected folders once and
// tells whether a path names one of them by the folder's identity (volume and
// file index), whatever its spelling. Every path about to become an entry goes
// through MayAdd.
#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "base/file_identity_win.h"
#include "listfile/protected_places.h"

namespace listfile {

// Where a folder lives: its volume's serial number and its file index.
using FolderId = base::FileId;

struct ProtectedFolder {
  Place place;
  std::wstring longPath;  // full path without short names, for folders that cannot be opened
  std::optional<FolderId> id;
};

// The protected folders, looked up on first use and kept for the life of the
// object: make one per command, not per path.
class ProtectedPlaces {
 public:
  // The protected folder `path` names, if any. A file is never protected.
  std::optional<Place> Find(const std::wstring& path);
  // The same for checking many paths at once: paths whose full form is deeper
  // than every protected folder, or whose name (long or short) is no
  // protected folder's, are passed without touching the disk. A link named
  // otherwise that leads to a protected folder is passed too: removing it
  // removes only the link.
  std::optional<Place> FindIfShallow(const std::wstring& path);
  // The folders found, in the order they are matched (for tests).
  const std::vector<ProtectedFolder>& Folders();

 private:
  void Resolve();
  void AddFolder(Place place, const std::wstring& path);
  void AddProfiles(const std::wstring& usersFolder);
  std::optional<Place> Match(const std::wstring& full);

  bool resolved_ = false;
  std::vector<ProtectedFolder> folders_;
  std::vector<FolderId> driveRoots_;
  std::vector<std::wstring> names_;  // last names of the protected folders
  size_t maxDepth_ = 0;
};

// The question about `folder`, known to be `place`: Yes/No, owned by
// `owner`, No by default. True for Yes.
bool Confirm(HWND owner, const std::wstring& folder, Place place);
// Asks before `path` becomes an entry when it names a protected folder.
// True when it may be added: it is no protected folder, or the user said Yes.
bool MayAdd(HWND owner, ProtectedPlaces& places, const std::wstring& path);

}  // namespace listfile
