// The routine's answer: detection, its keys' folders found, one walk each,
// the exclusions and the folders it empties.
#include "removal/routine_answer_win.h"

#include <windows.h>

#include <algorithm>
#include <unordered_set>
#include <utility>

#include "base/paths.h"
#include "routines/detection_win.h"
#include "routines/folder_match_win.h"
#include "routines/folder_pattern.h"
#include "routines/name_match.h"
#include "search/file_tally_win.h"

namespace removal {
namespace {

const wchar_t kWho[] = L"a routine";

struct Exclusion {
  bool fileOnly = false;  // FILE: those files in that folder; PATH: and below, folders too
  routines::FolderPattern folder;
  routines::NameMatch names;
};

// A 32-bit program on 64-bit Windows that names System32 reaches SysWOW64,
// another folder than the one the routine means.
bool RedirectedSystemFolder(const std::wstring& folder) {
  static const std::wstring system = [] {
    BOOL wow = FALSE;
    if (!IsWow64Process(GetCurrentProcess(), &wow) || !wow) return std::wstring();
    wchar_t windows[MAX_PATH] = L"";
    const UINT n = GetSystemWindowsDirectoryW(windows, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return std::wstring();
    return base::paths::PathKey(base::paths::JoinPath(windows, L"System32"));
  }();
  if (system.empty()) return false;
  const std::wstring key = base::paths::PathKey(folder);
  return key.compare(0, system.size(), system) == 0 && (key.size() == system.size() || key[system.size()] == L'\\');
}

// Whether a file (its folder with the closing separator) is one an
// exclusion keeps.
bool Excluded(const std::vector<Exclusion>& exclusions, std::wstring_view folderWithSeparator, std::wstring_view name) {
  if (exclusions.empty()) return false;
  std::wstring folder(folderWithSeparator);
  if (folder.size() > base::paths::RootLength(folder)) folder.pop_back();
  for (const Exclusion& e : exclusions) {
    const size_t at = routines::PatternPrefix(e.folder, folder);
    if (at == std::wstring::npos) continue;
    const bool inFolder = at >= folder.size() || (folder.size() == base::paths::RootLength(folder) && at + 1 == folder.size());
    if (e.fileOnly && !inFolder) continue;
    if (e.names.Fits(name)) return true;
    if (e.fileOnly) continue;
    // PATH: a folder between the exclusion's and the file's fits too.
    for (size_t start = at + 1; start < folder.size();) {
      const size_t end = std::min(folder.find(L'\\', start), folder.size());
      if (e.names.Fits(std::wstring_view(folder).substr(start, end - start))) return true;
      start = end + 1;
    }
  }
  return false;
}

// The exclusions placed for the user who runs; false with the reason when
// one cannot be (then the routine keeps everything).
bool PlaceExclusions(const listfile::Routine& routine, const routines::VariableLookup& variables,
                     std::vector<Exclusion>& exclusions, std::wstring& refusal) {
  for (const listfile::ExcludeKey& key : routine.excludes) {
    if (key.kind == listfile::ExcludeKind::Registry) continue;
    const routines::Expanded expanded = routines::ExpandVariables(key.folder, variables);
    if (!expanded.unknown.empty()) {
      refusal = L"an exclusion names " + expanded.unknown + L", which is not known on this computer";
      return false;
    }
    for (const std::wstring& text : expanded.texts) {
      Exclusion e{key.kind == listfile::ExcludeKind::File, {}, routines::NameMatch(key.patterns)};
      std::wstring problem;
      if (!routines::SplitFolderPattern(text, e.folder, problem)) {
        refusal = L"an exclusion cannot be placed: " + problem;
        return false;
      }
      exclusions.push_back(std::move(e));
    }
  }
  return true;
}

class Gathering {
 public:
  Gathering(RoutineAnswer& answer, bool paths) : answer_(answer), paths_(paths) {}

  void AddFiles(search::FileTake& take) {
    for (size_t i = 0; i < take.files.size(); ++i) {
      if (!files_.insert(base::paths::PathKey(take.files[i])).second) continue;
      ++answer_.files;
      answer_.bytes += take.sizes[i];
      if (!paths_) continue;
      answer_.paths.push_back(std::move(take.files[i]));
      answer_.sizes.push_back(take.sizes[i]);
    }
  }
  void AddFolders(std::vector<std::wstring>&& folders) {
    for (std::wstring& folder : folders)
      if (folders_.insert(base::paths::PathKey(folder)).second) answer_.emptied.push_back(std::move(folder));
  }

 private:
  RoutineAnswer& answer_;
  bool paths_;
  std::unordered_set<std::wstring> files_, folders_;
};

// Walks one folder a FileKey found.
void WalkFolder(const std::wstring& folder, const listfile::FileKey& key, const routines::NameMatch& names,
                const std::vector<Exclusion>& exclusions, const NeverTaken& never, const std::atomic<bool>& stop,
                Gathering& gathering, RoutineAnswer& answer) {
  const search::FileTest takes = [&](const search::ListedFile& file) {
    return names.Fits(file.name) && !Excluded(exclusions, file.folder, file.name) &&
           !never.Holds(file.folder, file.name, file.size);
  };
  search::FileTake take =
      search::TakeFiles(base::paths::WithSeparator(folder), key.recurse || key.removeSelf, takes, stop);
  answer.stopped = answer.stopped || take.stopped;
  gathering.AddFiles(take);
  if (key.removeSelf && !take.stopped) {
    gathering.AddFolders(EmptiedFolders(take.folders, true));
  }
}

void AnswerFileKey(const listfile::FileKey& key, const routines::VariableLookup& variables,
                   const std::vector<Exclusion>& exclusions, const NeverTaken& never,
                   listfile::ProtectedPlaces& places, const std::atomic<bool>& stop, Gathering& gathering,
                   RoutineAnswer& answer) {
  if (key.patterns.empty()) return;  // it names no file
  const routines::Expanded expanded = routines::ExpandVariables(key.folder, variables);
  if (!expanded.unknown.empty()) {
    answer.notes.push_back(key.folder + L": " + routines::UnknownVariableText(expanded.unknown));
    return;
  }
  const routines::NameMatch names(key.patterns);
  for (const std::wstring& text : expanded.texts) {
    routines::FolderPattern pattern;
    std::wstring problem;
    if (!routines::SplitFolderPattern(text, pattern, problem)) {
      answer.notes.push_back(key.folder + L": " + problem);
      continue;
    }
    for (const std::wstring& folder : routines::MatchFolders(pattern, stop)) {
      if (stop) return;
      if (RedirectedSystemFolder(folder)) {
        answer.notes.push_back(folder + L": a 32-bit program reaches another folder there; a routine never takes from it");
        continue;
      }
      const std::wstring refusal = FolderRefusal(folder, places, kWho);
      if (!refusal.empty()) {
        answer.notes.push_back(folder + L": " + refusal);
        continue;
      }
      WalkFolder(folder, key, names, exclusions, never, stop, gathering, answer);
    }
  }
}

}  // namespace

RoutineAnswer AnswerRoutine(const listfile::Routine& routine, const routines::VariableLookup& variables,
                            const NeverTaken& never, listfile::ProtectedPlaces& places, bool paths,
                            const std::atomic<bool>& stop) {
  RoutineAnswer answer;
  if (!routines::FitsComputer(routine, variables, stop)) {
    answer.refusal = routines::kNotOnThisComputer;
    return answer;
  }
  std::vector<Exclusion> exclusions;
  if (!PlaceExclusions(routine, variables, exclusions, answer.refusal)) return answer;
  Gathering gathering(answer, paths);
  for (const listfile::FileKey& key : routine.fileKeys) {
    if (stop) break;
    AnswerFileKey(key, variables, exclusions, never, places, stop, gathering, answer);
  }
  answer.stopped = answer.stopped || stop;
  // Deepest first, so each goes after everything it held.
  std::stable_sort(answer.emptied.begin(), answer.emptied.end(), [](const std::wstring& a, const std::wstring& b) {
    return base::paths::Depth(a) > base::paths::Depth(b);
  });
  return answer;
}

}  // namespace removal
