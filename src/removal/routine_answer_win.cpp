// The routine's answer: detection, its keys' folders found, one walk each,
// the exclusions and the folders it empties.
#include "removal/routine_answer_win.h"

#include <windows.h>

#include <algorithm>
#include <unordered_set>
#include <utility>

#include "base/paths.h"
#include "base/system_folders_win.h"
#include "base/worker_pool.h"
#include "removal/listed_path.h"
#include "base/long_names_win.h"
#include "routines/detection_win.h"
#include "routines/folder_match_win.h"
#include "routines/folder_pattern.h"
#include "routines/name_match.h"
#include "search/file_tally_win.h"
#include "search/walk_order.h"

namespace removal {
namespace {

struct Exclusion {
  bool fileOnly = false;  // FILE: those files in that folder; PATH: and below, folders too
  routines::FolderPattern folder;
  routines::NameMatch names;
};

// A 32-bit program on 64-bit Windows that names System32 reaches SysWOW64,
// another folder than the one the routine means.
bool RedirectedSystemFolder(const std::wstring& folder) {
  static const std::wstring system = [] {
    if (!routines::OnWow64()) return std::wstring();
    const std::wstring windows = base::system::WindowsFolder();
    return windows.empty() ? windows : base::paths::PathKey(base::paths::JoinPath(windows, L"System32"));
  }();
  if (system.empty()) return false;
  const std::wstring key = base::paths::PathKey(folder);
  return key == system || base::paths::KeyBelow(key, system);
}

// A walked folder's path without its closing separator, a root's kept.
std::wstring Unclosed(std::wstring_view folderWithSeparator) {
  std::wstring folder(folderWithSeparator);
  if (folder.size() > base::paths::RootLength(folder)) folder.pop_back();
  return folder;
}

// Whether `folder` (`at`: where it leaves the exclusion's folder) is that
// folder itself.
bool AtExclusion(const std::wstring& folder, size_t at) {
  return at >= folder.size() || (folder.size() == base::paths::RootLength(folder) && at + 1 == folder.size());
}

// Whether a name of `folder` below the exclusion's folder fits a PATH
// exclusion: a folder it keeps keeps everything it holds.
bool NameOnTheWayFits(const Exclusion& e, const std::wstring& folder, size_t at) {
  for (size_t start = at + 1; start < folder.size();) {
    const size_t end = std::min(base::paths::NextSeparator(folder, start), folder.size());
    if (e.names.Fits(std::wstring_view(folder).substr(start, end - start))) return true;
    start = end + 1;
  }
  return false;
}

// Whether a file (its folder with the closing separator) is one an
// exclusion keeps.
bool Excluded(const std::vector<Exclusion>& exclusions, std::wstring_view folderWithSeparator, std::wstring_view name) {
  if (exclusions.empty()) return false;
  const std::wstring folder = Unclosed(folderWithSeparator);
  for (const Exclusion& e : exclusions) {
    const size_t at = routines::PatternPrefix(e.folder, folder);
    if (at == std::wstring::npos || (e.fileOnly && !AtExclusion(folder, at))) continue;
    if (e.names.Fits(name) || (!e.fileOnly && NameOnTheWayFits(e, folder, at))) return true;
  }
  return false;
}

// Whether a walked folder (with its closing separator) is one a PATH
// exclusion keeps as it keeps files: the place it names, and each folder
// below it whose name, or a name on the way, fits. Such a folder is the
// user's, emptied or not.
bool ExcludedFolder(const std::vector<Exclusion>& exclusions, std::wstring_view folderWithSeparator) {
  if (exclusions.empty()) return false;
  const std::wstring folder = Unclosed(folderWithSeparator);
  for (const Exclusion& e : exclusions) {
    if (e.fileOnly) continue;
    const size_t at = routines::PatternPrefix(e.folder, folder);
    if (at != std::wstring::npos && (AtExclusion(folder, at) || NameOnTheWayFits(e, folder, at))) return true;
  }
  return false;
}

// The exclusions placed for the user who runs; false with the reason when
// one cannot be (then the routine keeps everything).
bool PlaceExclusions(const listfile::Routine& routine, const routines::VariableLookup& variables,
                     base::paths::LongNamesOnce& longNames, std::vector<Exclusion>& exclusions, std::wstring& refusal) {
  for (const listfile::ExcludeKey& key : routine.excludes) {
    if (key.kind == listfile::ExcludeKind::Registry) continue;
    const routines::Expanded expanded = routines::ExpandVariables(key.folder, variables);
    if (!expanded.unknown.empty()) {
      refusal = L"an exclusion cannot be placed: " + routines::VariableProblem(expanded);
      return false;
    }
    // Written for calls without the prefix, "Logs." and "keep.log " mean
    // "Logs" and "keep.log": an exclusion keeps what either reading names.
    std::vector<std::wstring> patterns = key.patterns;
    for (const std::wstring& p : key.patterns)
      if (const std::wstring trimmed = base::paths::WithoutTrailingDotsAndBlanks(p); trimmed != p)
        patterns.push_back(trimmed);
    const routines::NameMatch names(patterns);
    for (const std::wstring& written : expanded.texts) {
      std::vector<std::wstring> readings{written};
      if (std::wstring trimmed = base::paths::WithoutTrailingDotsAndBlanks(written); trimmed != written)
        readings.push_back(std::move(trimmed));
      for (const std::wstring& text : readings) {
        Exclusion e{key.kind == listfile::ExcludeKind::File, {}, names};
        std::wstring problem;
        if (!routines::SplitFolderPattern(text, e.folder, problem)) {
          refusal = L"an exclusion cannot be placed: " + problem;
          return false;
        }
        // The walk spells folders by their long names: so must what it is
        // compared with, or a short name would keep nothing.
        e.folder.root = longNames.Of(e.folder.root);
        exclusions.push_back(std::move(e));
      }
    }
  }
  return true;
}

// The word winapp2.ini writes as the names of a REMOVESELF key that takes
// no file itself and is there to remove the folders its entry's other
// keys empty ("...\userdata\*\*|RemoveEmptyFoldersOnly|REMOVESELF").
constexpr wchar_t kNoFileWord[] = L"RemoveEmptyFoldersOnly";

// The names a key takes: its patterns, that word left out.
routines::NameMatch NamesOf(const listfile::FileKey& key) {
  std::vector<std::wstring> patterns;
  for (const std::wstring& p : key.patterns)
    if (!base::paths::SameText(p, kNoFileWord)) patterns.push_back(p);
  return routines::NameMatch(patterns);
}

// One folder a FileKey found, to be walked.
struct Walk {
  std::wstring folder;
  const listfile::FileKey* key = nullptr;
  const routines::NameMatch* names = nullptr;
  std::wstring pathKey;  // the folder's, for finding walks that overlap
  // A REMOVESELF walk's: the routine's other walks that may take files
  // inside its folder (indexes into the walks).
  std::vector<size_t> others;
  bool below() const { return key->recurse || key->removeSelf; }
};

// Whether a key's folder is a variable's own folder ("%LocalAppData%",
// "%Temp%\"): REMOVESELF takes what it holds, never that folder itself,
// which the system and every program rely on.
bool OwnFolderOfAVariable(const std::wstring& folder) {
  const size_t close = listfile::VariableEnd(folder, 0);
  return close != std::wstring::npos && std::all_of(folder.begin() + close + 1, folder.end(), base::paths::IsSeparator);
}

// The keys of the folders the system's variables name, however a key
// spells them ("%LocalAppData%\Temp" is %Temp%): emptied, never removed.
std::unordered_set<std::wstring> SystemFolderKeys(const routines::VariableLookup& variables) {
  std::unordered_set<std::wstring> keys;
  for (const wchar_t* name : routines::kFolderVariables)
    for (const std::wstring& value : variables(name)) keys.insert(base::paths::PathKey(value));
  return keys;
}

// Whether a folder (its key) is one of them or holds one, so never empties.
bool HoldsSystemFolder(const std::wstring& key, const std::unordered_set<std::wstring>& systemFolders) {
  return std::any_of(systemFolders.begin(), systemFolders.end(),
                     [&](const std::wstring& system) { return system == key || base::paths::KeyBelow(system, key); });
}

// Whether two walks may meet the same file: one folder is the other, or
// below it when that one is walked with its subfolders.
bool Overlap(const std::vector<Walk>& walks) {
  for (size_t i = 0; i < walks.size(); ++i)
    for (size_t j = 0; j < walks.size(); ++j) {
      if (i == j) continue;
      const std::wstring& a = walks[i].pathKey;
      const std::wstring& b = walks[j].pathKey;
      if (a == b) return true;
      if (walks[i].below() && base::paths::KeyBelow(b, a)) return true;
    }
  return false;
}

// Finds each REMOVESELF walk's others: a walk of the same folder or one
// inside it, and one around it walked with its subfolders and reaching it
// through no link. Whether a folder is emptied is judged on what the whole
// routine takes there, whichever key takes it.
void FindOthers(std::vector<Walk>& walks) {
  for (Walk& self : walks) {
    if (!self.key->removeSelf) continue;
    for (size_t j = 0; j < walks.size(); ++j) {
      const Walk& other = walks[j];
      if (&other == &self) continue;
      const bool inside = other.pathKey == self.pathKey || base::paths::KeyBelow(other.pathKey, self.pathKey);
      const bool around = other.below() && base::paths::KeyBelow(self.pathKey, other.pathKey) &&
                          !routines::ReachedThroughLink(other.folder, self.folder);
      if (inside || around) self.others.push_back(j);
    }
  }
}

// Whether the routine takes a file a walk meets: the walk's own key, or
// another key whose walk meets the same file.
bool TakenByRoutine(const std::vector<Walk>& walks, const Walk& walk, const search::ListedFile& file) {
  if (walk.names->Fits(file.name)) return true;
  std::wstring folderKey;
  for (const size_t j : walk.others) {
    const Walk& other = walks[j];
    if (!other.names->Fits(file.name)) continue;
    if (folderKey.empty()) folderKey = base::paths::PathKey(std::wstring(file.folder));
    if (folderKey == other.pathKey || (other.below() && base::paths::KeyBelow(folderKey, other.pathKey))) return true;
  }
  return false;
}

// The folders a FileKey names, found; what it takes nothing from goes to
// the notes.
void FindFolders(const listfile::FileKey& key, const routines::NameMatch& names,
                 const routines::VariableLookup& variables, listfile::ProtectedPlaces& places,
                 base::paths::LongNamesOnce& longNames, const std::atomic<bool>& stop, std::vector<Walk>& walks,
                 RoutineAnswer& answer) {
  if (names.Empty() && !key.removeSelf) return;  // it names no file and removes no folder
  const routines::Expanded expanded = routines::ExpandVariables(key.folder, variables);
  if (!expanded.unknown.empty()) {
    answer.notes.push_back(key.folder + L": " + routines::VariableProblem(expanded) + L"; that key takes nothing");
    return;
  }
  for (size_t t = 0; t < expanded.texts.size(); ++t) {
    const std::wstring& text = expanded.texts[t];
    routines::FolderPattern pattern;
    std::wstring problem;
    if (!routines::SplitFolderPattern(text, pattern, problem)) {
      answer.notes.push_back(key.folder + L": " + problem);
      continue;
    }
    // Below what the system gave for its variable, the folders on the way
    // are the routine's own: one that is a link leads elsewhere.
    const size_t lead = expanded.leads[t];
    const std::wstring from = lead ? base::paths::Canonical(text.substr(0, lead)) : base::paths::Root(pattern.root);
    if (routines::ReachedThroughLink(from, pattern.root)) {
      answer.notes.push_back(pattern.root + L": it is reached through a link; a routine never follows one");
      continue;
    }
    for (std::wstring& folder : routines::MatchFolders(pattern, stop)) {
      if (stop) return;
      if (RedirectedSystemFolder(folder)) {
        answer.notes.push_back(folder +
                               L": a 32-bit program reaches another folder there; a routine never takes from it");
        continue;
      }
      // The match gave only folders that are there and are no links: of
      // the refusals, what is left to ask is the path's own and the
      // protected places'.
      std::wstring refusal = PathRefusal(folder);
      if (const auto place = refusal.empty() ? places.FindIfShallow(folder) : std::nullopt)
        refusal = L"a protected place (" + listfile::PlaceName(*place) + L"); a routine never takes from it";
      if (!refusal.empty()) {
        answer.notes.push_back(folder + L": " + refusal);
        continue;
      }
      // Spelled by its long names, as the exclusions and the other keys'
      // walks are: a short name would compare as another folder.
      Walk walk{longNames.Of(folder), &key, &names, {}, {}};
      walk.pathKey = base::paths::PathKey(walk.folder);
      walks.push_back(std::move(walk));
    }
  }
}

// Walks every folder found on up to `threads` threads: one alone on the
// parallel walk, several side by side, each on a thread of its own (a
// routine's folders are many and small: a browser's caches, an
// application's logs).
std::vector<search::FileTake> WalkAll(const std::vector<Walk>& walks, const std::vector<Exclusion>& exclusions,
                                      const NeverTaken& never, size_t threads, const std::atomic<bool>& stop) {
  const auto test = [&](const Walk& walk) -> search::FileTest {
    return [&walks, &walk, &exclusions, &never](const search::ListedFile& file) {
      return TakenByRoutine(walks, walk, file) && !Excluded(exclusions, file.folder, file.name) &&
             !never.Holds(file.folder, file.name, file.size);
    };
  };
  std::vector<search::FileTake> taken(walks.size());
  if (walks.size() == 1 && threads > 1) {
    taken[0] = search::TakeFiles(walks[0].folder, walks[0].below(), test(walks[0]), stop);
    return taken;
  }
  base::OnThreads(walks.size(), threads, stop, [&](size_t i, size_t) {
    taken[i] = search::TakeFilesHere(walks[i].folder, walks[i].below(), test(walks[i]), stop);
  });
  return taken;
}

// The answer, its walks on up to `threads` threads.
RoutineAnswer Answer(const listfile::Routine& routine, Fit fit, const routines::VariableLookup& variables,
                     const NeverTaken& never, listfile::ProtectedPlaces& places, base::paths::LongNamesOnce& longNames,
                     bool paths, size_t threads, const std::atomic<bool>& stop) {
  RoutineAnswer answer;
  if (fit == Fit::Decide && !routines::FitsComputer(routine, variables, stop)) {
    answer.refusal = routines::kNotOnThisComputer;
    return answer;
  }
  std::vector<Exclusion> exclusions;
  if (!PlaceExclusions(routine, variables, longNames, exclusions, answer.refusal)) return answer;
  std::vector<routines::NameMatch> names;
  names.reserve(routine.fileKeys.size());
  for (const listfile::FileKey& key : routine.fileKeys) names.push_back(NamesOf(key));
  std::vector<Walk> walks;
  for (size_t k = 0; k < routine.fileKeys.size() && !stop; ++k)
    FindFolders(routine.fileKeys[k], names[k], variables, places, longNames, stop, walks, answer);
  FindOthers(walks);
  std::vector<search::FileTake> taken = WalkAll(walks, exclusions, never, threads, stop);
  // Two folders that overlap may give one file twice: it is one item.
  const bool overlap = Overlap(walks);
  std::unordered_set<std::wstring> seen, seenFolders;
  const bool emptying = std::any_of(walks.begin(), walks.end(), [](const Walk& w) { return w.key->removeSelf; });
  const std::unordered_set<std::wstring> systemFolders =
      emptying ? SystemFolderKeys(variables) : std::unordered_set<std::wstring>();
  for (size_t w = 0; w < walks.size(); ++w) {
    search::FileTake& take = taken[w];
    answer.stopped = answer.stopped || take.stopped;
    for (size_t i = 0; i < take.files.size(); ++i) {
      if (overlap && !seen.insert(base::paths::PathKey(take.files[i])).second) continue;
      ++answer.files;
      answer.bytes += take.sizes[i];
      if (!paths) continue;
      answer.paths.push_back(std::move(take.files[i]));
      answer.sizes.push_back(take.sizes[i]);
    }
    if (!walks[w].key->removeSelf || take.stopped) continue;
    for (search::WalkedFolder& folder : take.folders)
      if (ExcludedFolder(exclusions, folder.path)) ++folder.kept;
    for (std::wstring& folder : EmptiedFolders(take.folders, !OwnFolderOfAVariable(walks[w].key->folder))) {
      std::wstring key = base::paths::PathKey(folder);
      if (!HoldsSystemFolder(key, systemFolders) && seenFolders.insert(std::move(key)).second)
        answer.emptied.push_back(std::move(folder));
    }
  }
  answer.stopped = answer.stopped || stop;
  // Deepest first, so each goes after everything it held.
  std::stable_sort(answer.emptied.begin(), answer.emptied.end(), [](const std::wstring& a, const std::wstring& b) {
    return base::paths::Depth(a) > base::paths::Depth(b);
  });
  return answer;
}

}  // namespace

RoutineAnswer AnswerRoutine(const listfile::Routine& routine, Fit fit, const routines::VariableLookup& variables,
                            const NeverTaken& never, listfile::ProtectedPlaces& places, bool paths,
                            const std::atomic<bool>& stop) {
  base::paths::LongNamesOnce longNames;
  return Answer(routine, fit, variables, never, places, longNames, paths, search::ListingWorkers(), stop);
}

void AnswerRoutines(const std::vector<const listfile::Routine*>& routines, Fit fit,
                    const routines::VariableLookup& variables, const NeverTaken& never, bool paths, size_t threads,
                    const std::atomic<bool>& stop,
                    const std::function<void(size_t i, RoutineAnswer&& answer, size_t thread)>& each) {
  // Looked up once, then copied: each thread needs its own.
  listfile::ProtectedPlaces looked;
  looked.Folders();
  std::vector<listfile::ProtectedPlaces> places(std::max<size_t>(threads, 1), looked);
  // Kept for the whole list: its routines' folders share their parents.
  std::vector<base::paths::LongNamesOnce> longNames(places.size());
  base::OnThreads(routines.size(), places.size(), stop, [&](size_t i, size_t thread) {
    // Side by side, each routine's walks stay on its thread: more threads
    // than that only contend for the disk.
    each(i,
         Answer(*routines[i], fit, variables, never, places[thread], longNames[thread], paths,
                places.size() > 1 ? 1 : search::ListingWorkers(), stop),
         thread);
  });
}

}  // namespace removal
