// What a removal run will do with each listed item, decided before anything
// is tried and without changing anything on the disk. Foresee gives it for
// whatever shows the run beforehand; the passes take the same decision
// (FateCheck) item by item and try only the items it lets through, so the
// two never disagree on an item that nobody touched in between.
#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "removal/disposal.h"
#include "removal/fate.h"
#include "removal/removal_plan.h"

namespace removal {

// Every record's fate: the listed files first, then the listed folders,
// each in pass order, then each rule's row followed by the files and the
// subfolders it takes (once the plan's rules are walked), then the records
// the passes set aside (listed twice, or not understood). A folder is foreseen as the folder pass will find it: removed
// only when everything it holds goes before it. The items are looked at on the workers (one look each); `progress`
// hears how far, and a raised `stop` ends the looks early (the items not
// looked at then come back as staying, not tried).
std::vector<Fate> Foresee(const Plan& plan, Disposal disposal, const ProgressFn& progress = nullptr,
                          const std::atomic<bool>* stop = nullptr);

// One item as the decision finds it: code 0 when it is to be tried;
// otherwise a not-found code when it is not there (base::paths::IsNotFound), or the
// refusal it stays with.
struct Verdict {
  DWORD code = 0;
  DWORD attributes = INVALID_FILE_ATTRIBUTES;  // when it was looked at
  std::uint64_t bytes = 0;                     // a file's size, when it is to be tried
};

// An entry of a listed folder, as its listing gave it.
struct FolderEntry {
  std::wstring name;
  DWORD attributes;
  std::uint64_t bytes;
};

// A folder's entries, sorted by name; false when the listing failed or
// ended early (what it gave is kept).
bool ListFolder(const std::wstring& apiPath, std::vector<FolderEntry>& entries);

// The decision on a run's items. Made once per run: it looks at every
// listed folder at once, on the workers, for what it is, for the links
// among them that listed items lie below, and for what it holds: a listed
// file in a listed folder is then decided from that folder's listing (one
// look per folder, not per file), any other file by a look of its own.
class FateCheck {
 public:
  // `progress`, when given, is called with (0, items) while the folders are
  // looked at, to keep a window painted.
  FateCheck(const Plan& plan, Disposal disposal, const ProgressFn& progress, const std::atomic<bool>* stop);

  // The part that asks nothing of the disk about the file itself: below a
  // listed folder that is a link now, or a path that is never tried. 0 when
  // it may be tried. Any thread.
  DWORD Listed(size_t file) const;
  // The whole decision on a file: Listed, then one look at it. Any thread.
  Verdict File(size_t file);
  // The look alone (the pass asks Listed first), at the path the pass
  // hands to the file system, or at ApiPath when none is given.
  Verdict Look(size_t file, const std::wstring* apiPath = nullptr);
  // From now on a file that its listed folder's listing holds in no
  // spelling is taken as gone without a look of its own: right for a
  // preview, which shows the disk as the listings found it; a run looks
  // again, as a file may have come since.
  void TrustListings() { trustListings_ = true; }
  // The form of a file's path that its look and its removal use.
  std::wstring ApiPath(size_t file) const;
  // The whole decision on a folder, looked at when the check was made.
  const Verdict& Folder(size_t folder) const { return folders_[folder]; }
  // What a listed folder that is to be tried held when it was looked at.
  const std::vector<FolderEntry>& Contents(size_t folder) const { return contents_[folder]; }
  // A listed folder's key (base::paths::PathKey), and the listed folder of
  // a key or of a file (the file's parent however it is written): kNone
  // when it is not listed.
  static constexpr size_t kNone = static_cast<size_t>(-1);
  const std::wstring& FolderKey(size_t folder) const { return folderKeys_[folder]; }
  size_t FolderOfKey(const std::wstring& key) const;
  size_t ParentOf(size_t file) const { return parentOf_[file]; }
  bool LinksAlone() const { return linksAlone_; }

 private:
  // The Recycle Bin's refusal of a path the disk has, or 0.
  DWORD ShellRefusal(const std::wstring& path);
  bool BinTakes(const std::wstring& shellPath);
  void DecideFolders(const std::vector<Verdict>& looked);
  void FindParents();
  // The entry a file has, written exactly so, in its listed folder's
  // listing, or null; `absent` tells whether that listing was made whole
  // and holds the name in no spelling (a name with a "~" may be a short
  // name, which a listing does not show).
  const FolderEntry* Listing(size_t file, bool& absent) const;

  const Plan& plan_;
  Disposal disposal_;
  bool linksAlone_;
  std::vector<bool> blockedFiles_, blockedFolders_;
  std::vector<Verdict> folders_;
  std::vector<std::vector<FolderEntry>> contents_;  // per listed folder, sorted by name
  std::vector<char> whole_;                         // per listed folder: its listing was made whole
  bool trustListings_ = false;
  // Per listed folder, made at the first name its listing does not hold
  // exactly: the names with their letter case folded, sorted.
  mutable std::mutex foldedMutex_;
  mutable std::vector<std::unique_ptr<std::vector<std::wstring>>> folded_;
  std::vector<std::wstring> folderKeys_;
  std::unordered_map<std::wstring, size_t> folderOfKey_;
  std::vector<size_t> parentOf_;  // per file: its listed folder, or kNone
  std::vector<size_t> nameAt_;    // per file: where its name starts
  std::mutex binsMutex_;
  std::map<std::wstring, bool> bins_;  // volume -> has a Recycle Bin
};

}  // namespace removal
