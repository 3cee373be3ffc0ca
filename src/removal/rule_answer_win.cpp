// The rule's answer: its refusals, the one walk, and what it leaves empty.
#include "removal/rule_answer_win.h"

#include <windows.h>

#include <unordered_map>

#include "base/paths.h"
#include "base/paths_win.h"
#include "removal/listed_path.h"
#include "removal/rule_files.h"
#include "search/file_tally_win.h"

namespace removal {

std::wstring FolderRefusal(const std::wstring& folder, listfile::ProtectedPlaces& places, const wchar_t* who) {
  const std::wstring refused = PathRefusal(folder);
  if (!refused.empty()) return refused;
  const DWORD attributes = GetFileAttributesW(base::paths::Verbatim(folder).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES)
    return base::paths::IsNotFound(GetLastError()) ? L"the folder is not there" : L"the folder cannot be read";
  if (base::IsLink(folder)) return std::wstring(L"the folder is a link; ") + who + L" never follows one";
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return L"not a folder";
  if (const auto place = places.Find(folder))
    return L"a protected place (" + listfile::PlaceName(*place) + L"); " + who + L" never takes from it";
  return std::wstring();
}

std::vector<std::wstring> EmptiedFolders(const std::vector<search::WalkedFolder>& walked, bool ownToo) {
  std::unordered_map<std::wstring, size_t> index;
  for (size_t i = 0; i < walked.size(); ++i) index.emplace(walked[i].path, i);
  std::vector<char> holdsSome(walked.size(), 0);
  std::vector<std::wstring> emptied;
  const size_t first = ownToo ? 0 : 1;
  for (size_t i = walked.size(); i-- > first;) {  // after everything each folder holds
    const search::WalkedFolder& w = walked[i];
    if (!w.link && w.kept == 0 && !holdsSome[i]) {
      emptied.push_back(w.path);
      continue;
    }
    const auto parent = index.find(base::paths::ParentOf(w.path));
    if (parent != index.end()) holdsSome[parent->second] = 1;
  }
  return emptied;
}

NeverTaken::NeverTaken() { Add(base::paths::ProgramPath()); }

void NeverTaken::Add(const std::wstring& path) {
  const std::wstring full = base::paths::FullPathName(path);
  if (full.empty()) return;
  const std::optional<base::ItemIdentity> identity = base::IdentityOf(full);
  if (identity && !identity->folder) items_.push_back({identity->id, identity->size});
}

bool NeverTaken::Holds(std::wstring_view folder, std::wstring_view name, uint64_t size) const {
  bool sized = false;
  for (const Item& item : items_) sized = sized || item.size == size;
  if (!sized) return false;
  const std::optional<base::ItemIdentity> identity =
      base::IdentityOf(base::paths::EntryPath(std::wstring(folder), name));
  // A file of that size that cannot be opened is not taken either: it may
  // be the list itself, held by another program.
  if (!identity) return true;
  for (const Item& item : items_)
    if (item.size == size && item.id == identity->id) return true;
  return false;
}

RuleAnswer AnswerRule(const listfile::FolderRule& rule, const NeverTaken& never, listfile::ProtectedPlaces& places,
                      uint64_t now, bool paths, const std::atomic<bool>& stop) {
  RuleAnswer answer;
  answer.refusal = FolderRefusal(rule.folder, places, L"a rule");
  if (!answer.refusal.empty()) return answer;
  const RuleChoice choice(rule);
  const search::FileTest takes = [&choice, &never, now](const search::ListedFile& file) {
    return choice.Takes(file.name, file.lastWritten, now) && !never.Holds(file.folder, file.name, file.size);
  };
  // The walk starts from the canonical folder, so that every path it makes
  // is spelled one way.
  const std::wstring folder = base::paths::WithSeparator(base::paths::Canonical(rule.folder));
  if (!paths) {
    const search::FileTally tally = search::TallyFiles(folder, rule.subfolders, takes, stop);
    answer.files = tally.files;
    answer.bytes = tally.bytes;
    answer.stopped = tally.stopped;
    return answer;
  }
  search::FileTake take = search::TakeFiles(folder, rule.subfolders, takes, stop);
  answer.stopped = take.stopped;
  answer.files = take.files.size();
  for (uint64_t size : take.sizes) answer.bytes += size;
  answer.paths = std::move(take.files);
  answer.sizes = std::move(take.sizes);
  if (rule.removeEmptied && !take.stopped) answer.emptied = EmptiedFolders(take.folders, false);
  return answer;
}

uint64_t RuleClock() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  return (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

}  // namespace removal
