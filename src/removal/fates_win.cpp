// The fate decision on the wide-character file API: one attribute look per
// item, listed folders looked at up front on the workers.
#include "removal/fates_win.h"

#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>
#include <string_view>
#include <unordered_map>

#include "base/beside.h"
#include "base/folder_listing_win.h"
#include "base/paths.h"
#include "base/paths_win.h"
#include "base/system_folders_win.h"
#include "base/worker_pool.h"
#include "base/texts_win.h"
#include "removal/chunked_pass.h"
#include "removal/link_guard.h"
#include "removal/listed_path.h"
#include "removal/removal_steps_win.h"

namespace removal {
namespace {

// A closing separator names a folder: such a file record names no file,
// there or not (a folder there is a folder listed as a file). The path the
// file system gets has no closing separator, so the record says it.
bool NamesFolder(const std::wstring& record) { return !record.empty() && base::paths::IsSeparator(record.back()); }

// The shell takes paths only in their short form.
constexpr size_t kLongestShellPath = MAX_PATH - 1;
// Looks at folders are quick; small chunks share them out evenly.
constexpr size_t kFolderChunk = 128;
constexpr size_t kNoParent = FateCheck::kNone;
// Up to this many entries a folder's listing is searched in any letter case
// entry by entry.
constexpr size_t kFewEntries = 64;

// The user's own shell folders. Where they are links, the system made them
// so (under Wine, Documents and the others lead to the home folder): they
// were links when the list was made, and items in them are listed as usual.
std::vector<std::wstring> UserShellFolderKeys() {
  std::vector<std::wstring> keys;
  for (const KNOWNFOLDERID* id : {&FOLDERID_Documents, &FOLDERID_Downloads, &FOLDERID_Music, &FOLDERID_Pictures,
                                  &FOLDERID_Videos, &FOLDERID_Desktop, &FOLDERID_Profile}) {
    const std::wstring path = base::system::KnownFolder(*id);
    if (!path.empty()) keys.push_back(base::paths::PathKey(path));
  }
  return keys;
}

bool ByName(const FolderEntry& entry, std::wstring_view name) { return std::wstring_view(entry.name) < name; }

// A listed folder as it is on the disk: its attributes (or why they cannot
// be had), whether it is the root of a drive, and what a folder that is no
// link holds. A path that is never tried is not looked at.
Verdict LookAtFolder(const std::wstring& path, std::vector<FolderEntry>& entries, char& whole) {
  Verdict v;
  if (!PathRefusal(path).empty()) return v;
  const std::wstring apiPath = base::paths::Verbatim(path);
  v.attributes = GetFileAttributesW(apiPath.c_str());
  const DWORD error = GetLastError();
  if (base::paths::IsDriveRoot(apiPath, v.attributes)) {
    v.code = kDriveRoot;
    v.attributes = INVALID_FILE_ATTRIBUTES;
    return v;
  }
  if (v.attributes == INVALID_FILE_ATTRIBUTES)
    v.code = error;
  else if ((v.attributes & FILE_ATTRIBUTE_DIRECTORY) && !(v.attributes & FILE_ATTRIBUTE_REPARSE_POINT))
    whole = ListFolder(apiPath, entries);
  return v;
}

// The calling thread only waits, calling `painted` now and then.
std::vector<Verdict> LookAtFolders(const std::vector<std::wstring>& folders,
                                   std::vector<std::vector<FolderEntry>>& contents, std::vector<char>& whole,
                                   const std::function<void()>& painted, const std::atomic<bool>* stop) {
  std::vector<Verdict> looked(folders.size());
  contents.assign(folders.size(), {});
  whole.assign(folders.size(), 0);
  // One look per processor at once: each is short, and under Wine it also
  // costs the server a share; in the preview's benchmark more lookers only
  // queued for it (a search's listings wait longer and take twice as many).
  ChunkSetup setup{base::WorkerPool::DefaultSize(), kFolderChunk};
  setup.stop = stop;
  const std::vector<ItemFailure> untried = RunInChunks(
      folders.size(),
      [&](size_t i) -> unsigned long {
        looked[i] = LookAtFolder(folders[i], contents[i], whole[i]);
        return 0;
      },
      [&](size_t) { painted(); }, setup);
  for (const ItemFailure& f : untried) looked[f.index].code = kNotTried;
  return looked;
}

// The items below a listed folder that is a link now, other than a shell
// folder (empty marks when there are none, as in nearly every run).
void MarkBelowLinks(const Plan& plan, const std::vector<Verdict>& looked, std::vector<bool>& files,
                    std::vector<bool>& folders) {
  if (std::none_of(looked.begin(), looked.end(), [](const Verdict& v) { return IsFolderLink(v.attributes); })) return;
  LinkGuard guard(plan.folders, plan.files);
  const std::vector<std::wstring>& above = guard.FoldersAbove();
  if (above.empty()) return;
  std::map<const std::wstring*, size_t> index;
  for (size_t i = 0; i < plan.folders.size(); ++i)
    if (IsFolderLink(looked[i].attributes)) index.emplace(&plan.folders[i], i);
  if (index.empty()) return;
  std::vector<std::wstring> shellFolders = UserShellFolderKeys();
  std::vector<size_t> linked;
  for (size_t a = 0; a < above.size(); ++a) {
    const std::wstring key = base::paths::PathKey(above[a]);
    bool link = false;
    for (const auto& [path, i] : index) link = link || base::paths::PathKey(*path) == key;
    if (link && std::find(shellFolders.begin(), shellFolders.end(), key) == shellFolders.end()) linked.push_back(a);
  }
  guard.SetLinks(linked);
  files = guard.Blocked(plan.files);
  folders = guard.Blocked(plan.folders);
}

}  // namespace

bool ListFolder(const std::wstring& apiPath, std::vector<FolderEntry>& entries) {
  const bool whole = base::ListEntries(base::paths::WithSeparator(apiPath), L"*", [&](const WIN32_FIND_DATAW& data) {
    entries.push_back({data.cFileName, data.dwFileAttributes,
                       (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow});
    return true;
  });
  std::sort(entries.begin(), entries.end(), [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
  return whole;
}

FateCheck::FateCheck(const Plan& plan, Disposal disposal, const ProgressFn& progress, const std::atomic<bool>* stop)
    : plan_(plan), disposal_(disposal), linksAlone_(FolderLinksRemovableAlone()) {
  const size_t total = plan.files.size() + plan.folders.size();
  // Which listed folder each file is in asks nothing of the disk: it is
  // found while the workers look at the folders.
  base::Beside<> parents([this] { FindParents(); });
  const std::vector<Verdict> looked = LookAtFolders(
      plan.folders, contents_, whole_,
      [&] {
        if (progress) progress(0, total);
      },
      stop);
  parents.Get();
  MarkBelowLinks(plan, looked, blockedFiles_, blockedFolders_);
  DecideFolders(looked);
}

// Files of one folder follow each other in a list, so the parent of the
// file before is tried first. A path with a closing separator has none; a
// parent is found however it is written, a name only as it is written.
void FateCheck::FindParents() {
  folderKeys_.resize(plan_.folders.size());
  for (size_t i = 0; i < plan_.folders.size(); ++i) {
    folderKeys_[i] = base::paths::PathKey(plan_.folders[i]);
    folderOfKey_.emplace(folderKeys_[i], i);
  }
  parentOf_.assign(plan_.files.size(), kNoParent);
  nameAt_.assign(plan_.files.size(), 0);
  if (folderOfKey_.empty()) return;
  std::wstring lastParent;
  size_t lastIndex = kNoParent;
  for (size_t f = 0; f < plan_.files.size(); ++f) {
    const std::wstring& path = plan_.files[f];
    const size_t slash = base::paths::LastSeparator(path);
    if (slash == std::wstring::npos || slash + 1 == path.size()) continue;
    if (lastParent.size() != slash || path.compare(0, slash, lastParent) != 0) {
      lastParent.assign(path, 0, slash);
      lastIndex = FolderOfKey(base::paths::PathKey(lastParent));
    }
    parentOf_[f] = lastIndex;
    nameAt_[f] = slash + 1;
  }
}

size_t FateCheck::FolderOfKey(const std::wstring& key) const {
  const auto found = folderOfKey_.find(key);
  return found == folderOfKey_.end() ? kNone : found->second;
}

const FolderEntry* FateCheck::Listing(size_t file, bool& absent) const {
  absent = false;
  const size_t parent = parentOf_[file];
  if (parent == kNoParent) return nullptr;
  const std::vector<FolderEntry>& entries = contents_[parent];
  const std::wstring_view name = std::wstring_view(plan_.files[file]).substr(nameAt_[file]);
  const auto found = std::lower_bound(entries.begin(), entries.end(), name, ByName);
  if (found != entries.end() && found->name == name) return &*found;
  if (!whole_[parent] || name.find(L'~') != std::wstring_view::npos) return nullptr;
  // A small folder is compared entry by entry, making no text; a large one
  // gets its folded names once.
  if (entries.size() <= kFewEntries) {
    absent = std::none_of(entries.begin(), entries.end(),
                          [&](const FolderEntry& e) { return base::paths::SameText(e.name, name); });
    return nullptr;
  }
  std::lock_guard<std::mutex> hold(foldedMutex_);
  if (folded_.empty()) folded_.resize(contents_.size());
  std::unique_ptr<std::vector<std::wstring>>& keys = folded_[parent];
  if (!keys) {
    keys = std::make_unique<std::vector<std::wstring>>();
    for (const FolderEntry& entry : entries) keys->push_back(base::paths::FoldCase(entry.name));
    std::sort(keys->begin(), keys->end());
  }
  absent = !std::binary_search(keys->begin(), keys->end(), base::paths::FoldCase(std::wstring(name)));
  return nullptr;
}

DWORD FateCheck::Listed(size_t file) const {
  if (IsBlocked(blockedFiles_, file)) return kThroughLink;
  return PathRefusal(plan_.files[file]).empty() ? 0 : kRefusedPath;
}

Verdict FateCheck::File(size_t file) {
  Verdict v;
  v.code = Listed(file);
  return v.code ? v : Look(file);
}

std::wstring FateCheck::ApiPath(size_t file) const {
  const std::wstring& path = plan_.files[file];
  return disposal_ == Disposal::RecycleBin ? base::paths::Verbatim(path) : base::paths::Verbatim(path);
}

// From the listing of its folder when it is in it; a name the listing does
// not hold exactly (written in other letter case, say) is looked at alone.
Verdict FateCheck::Look(size_t file, const std::wstring* apiPath) {
  Verdict v;
  bool absent = false;
  if (const FolderEntry* entry = Listing(file, absent)) {
    v.attributes = entry->attributes;
    v.bytes = entry->bytes;
  } else if (absent && trustListings_) {
    v.code = ERROR_FILE_NOT_FOUND;
    return v;
  } else {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW((apiPath ? *apiPath : ApiPath(file)).c_str(), GetFileExInfoStandard, &data)) {
      v.code = NamesFolder(plan_.files[file]) ? kFileWithSeparator : GetLastError();
      return v;
    }
    v.attributes = data.dwFileAttributes;
    v.bytes = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  }
  if (v.attributes & FILE_ATTRIBUTE_DIRECTORY) {
    v.code = kFolderAsFile;
    v.bytes = 0;
    return v;
  }
  if (NamesFolder(plan_.files[file])) {
    v.code = kFileWithSeparator;
    return v;
  }
  if (disposal_ == Disposal::RecycleBin) v.code = ShellRefusal(plan_.files[file]);
  return v;
}

// In the order the run has always taken them: what the list says, then what
// the disk says, then what the shell can take.
void FateCheck::DecideFolders(const std::vector<Verdict>& looked) {
  folders_.resize(plan_.folders.size());
  for (size_t i = 0; i < folders_.size(); ++i) {
    const std::wstring& path = plan_.folders[i];
    Verdict& v = folders_[i];
    v = looked[i];
    if (IsBlocked(blockedFolders_, i))
      v.code = kThroughLink;
    else if (!PathRefusal(path).empty())
      v.code = kRefusedPath;
    if (v.code) continue;
    if (IsFolderLink(v.attributes) && !linksAlone_)
      v.code = kLinkKept;
    else if (!(v.attributes & FILE_ATTRIBUTE_DIRECTORY))
      v.code = ERROR_DIRECTORY;
    else if (disposal_ == Disposal::RecycleBin)
      v.code = ShellRefusal(path);
  }
}

DWORD FateCheck::ShellRefusal(const std::wstring& path) {
  const std::wstring shellPath = base::paths::ShellPath(path);
  if (base::paths::HasNameThatPlainFormChanges(shellPath)) return kPlainNameDiffers;
  if (shellPath.size() > kLongestShellPath || shellPath.compare(0, 4, L"\\\\?\\") == 0) return kNoRecycleBin;
  return BinTakes(shellPath) ? 0 : kNoRecycleBin;
}

// The volume's Recycle Bin, asked once per volume: the shell would delete
// for good what a volume without one holds.
bool FateCheck::BinTakes(const std::wstring& shellPath) {
  std::vector<wchar_t> volume(shellPath.size() + 2 > MAX_PATH ? shellPath.size() + 2 : MAX_PATH);
  if (!GetVolumePathNameW(shellPath.c_str(), volume.data(), static_cast<DWORD>(volume.size()))) return false;
  std::lock_guard<std::mutex> lock(binsMutex_);
  auto found = bins_.find(volume.data());
  if (found != bins_.end()) return found->second;
  SHQUERYRBINFO info{};
  info.cbSize = sizeof info;
  const bool has = SUCCEEDED(SHQueryRecycleBinW(volume.data(), &info));
  bins_.emplace(volume.data(), has);
  return has;
}

namespace {

// What a listed folder holds that the list takes: items that will go
// before the folder pass reaches it, and listed items that will stay.
struct Held {
  size_t going = 0;
  size_t staying = 0;
};

class FolderForesight {
 public:
  explicit FolderForesight(const FateCheck& check, size_t folders) : check_(check), held_(folders) {}

  // A listed file that is there: it goes, or it stays, in its folder.
  void AddFile(size_t file, bool goes) { Count(check_.ParentOf(file), goes); }

  // Decides the folders from the deepest up, each once everything it holds
  // is decided. A folder to be tried stays when it holds more than goes.
  void Decide(std::vector<Verdict>& folders, std::vector<std::wstring>& reasons, const NumberStyle& style) {
    std::vector<size_t> order(folders.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return check_.FolderKey(a).size() > check_.FolderKey(b).size(); });
    reasons.assign(folders.size(), std::wstring());
    for (size_t i : order) {
      Verdict& v = folders[i];
      if (v.code == 0 && !IsFolderLink(v.attributes)) {
        const size_t entries = check_.Contents(i).size(), accounted = held_[i].going + held_[i].staying;
        const size_t unlisted = entries > accounted ? entries - accounted : 0;
        if (unlisted || held_[i].staying) {
          v.code = ERROR_DIR_NOT_EMPTY;
          reasons[i] = HeldText(unlisted, held_[i].staying, true, style);
        }
      }
      if (v.attributes == INVALID_FILE_ATTRIBUTES) continue;  // not there: nothing to hold it
      const std::wstring& key = check_.FolderKey(i);
      const size_t slash = base::paths::ParentEnd(key);
      if (slash != std::wstring::npos) Count(check_.FolderOfKey(key.substr(0, slash)), v.code == 0);
    }
  }

 private:
  void Count(size_t folder, bool goes) {
    if (folder != kNoParent) ++(goes ? held_[folder].going : held_[folder].staying);
  }

  const FateCheck& check_;
  std::vector<Held> held_;
};

Fate SetAsideFate(const SetAside& record) {
  Fate fate;
  fate.path = record.path;
  fate.folder = record.type == listfile::kFolderType;
  if (record.duplicate) {
    fate.outcome = Outcome::Listed;
  } else {
    fate.outcome = Outcome::Stay;
    fate.reason = L"not understood";
  }
  return fate;
}

// A rule's row: its folder, and what it takes now; a refused rule stays.
// A routine's: its name and group, what it takes, and how many of its
// places take nothing (the first named).
Fate RuleFate(const PlannedRule& rule) {
  Fate fate;
  fate.path = PlannedName(rule);
  fate.folder = !rule.routine;  // a routine's row names no one folder
  const std::wstring word = rule.routine ? L"routine" : L"rule";
  if (!rule.refusal.empty()) {
    fate.reason = word + L" refused: " + rule.refusal;
    return fate;
  }
  fate.outcome = Outcome::Rule;
  fate.bytes = rule.bytes;
  const NumberStyle style = base::text::UserNumberStyle();
  const std::wstring summary = rule.routine ? rule.routine->group : listfile::RuleSummary(rule.rule);
  fate.reason = word + L" (" + summary + L"): takes " + base::text::Counted(rule.files, L"file", L"files", style);
  if (rule.folders) fate.reason += L" and " + base::text::Counted(rule.folders, L"folder", L"folders", style);
  if (!rule.notes.empty())
    fate.reason += L"; nothing from " + base::text::Counted(rule.notes.size(), L"place", L"places", style) + L" (" +
                   rule.notes.front() + (rule.notes.size() > 1 ? L", ..." : L"") + L")";
  return fate;
}

}  // namespace

std::vector<Fate> Foresee(const Plan& plan, Disposal disposal, const ProgressFn& progress,
                          const std::atomic<bool>* stop) {
  const size_t total = plan.files.size() + plan.folders.size();
  FateCheck check(plan, disposal, progress, stop);
  check.TrustListings();
  std::vector<Verdict> files(plan.files.size());
  ChunkSetup setup{DeleteWorkerCount()};
  setup.stop = stop;
  const std::vector<ItemFailure> untried = RunInChunks(
      files.size(),
      [&](size_t i) -> unsigned long {
        files[i] = check.File(i);
        return 0;
      },
      [&](size_t done) {
        if (progress) progress(done, total);
      },
      setup);
  for (const ItemFailure& f : untried) files[f.index].code = kNotTried;

  FolderForesight foresight(check, plan.folders.size());
  for (size_t i = 0; i < files.size(); ++i)
    if (files[i].attributes != INVALID_FILE_ATTRIBUTES) foresight.AddFile(i, files[i].code == 0);
  std::vector<Verdict> folders(plan.folders.size());
  for (size_t i = 0; i < folders.size(); ++i) folders[i] = check.Folder(i);
  std::vector<std::wstring> held;
  foresight.Decide(folders, held, base::text::UserNumberStyle());

  std::vector<Fate> fates;
  fates.reserve(total + plan.setAside.size());
  DriveCheck drives;
  auto add = [&](const std::wstring& path, bool folder, const Verdict& v, const std::wstring& reason) {
    Fate fate;
    fate.path = path;
    fate.folder = folder;
    DWORD code = v.code;
    if (base::paths::IsNotFound(code)) code = drives.Missing(base::paths::Verbatim(path)) ? kDriveMissing : 0;
    if (v.code == 0) {
      fate.outcome = Outcome::Remove;
      fate.bytes = v.bytes;
    } else if (code == 0) {
      fate.outcome = Outcome::Gone;
    } else {
      fate.reason = reason.empty() ? RefusalReason(Refused(path, code)) : reason;
    }
    fates.push_back(std::move(fate));
  };
  const size_t ruleFolders = plan.ruleOfFolder.size();
  for (size_t i = 0; i < plan.listedFiles; ++i) add(plan.files[i], false, files[i], std::wstring());
  for (size_t i = ruleFolders; i < folders.size(); ++i) add(plan.folders[i], true, folders[i], held[i]);
  // Each rule's row, then what it takes now.
  for (size_t r = 0; r < plan.rules.size() && plan.expanded; ++r) {
    const PlannedRule& rule = plan.rules[r];
    fates.push_back(RuleFate(rule));
    for (size_t i = rule.firstFile; i < rule.firstFile + rule.files; ++i)
      add(plan.files[i], false, files[i], std::wstring());
    for (size_t i = 0; i < ruleFolders; ++i)
      if (plan.ruleOfFolder[i] == r) add(plan.folders[i], true, folders[i], held[i]);
  }
  for (const SetAside& record : plan.setAside) fates.push_back(SetAsideFate(record));
  if (progress) progress(total, total);
  return fates;
}

}  // namespace removal
