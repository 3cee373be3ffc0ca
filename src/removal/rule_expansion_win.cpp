// The rules' walks and the merge of what they take into the plan.
#include "removal/rule_expansion_win.h"

#include <windows.h>

#include <algorithm>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "base/paths.h"
#include "base/paths_win.h"
#include "listfile/protected_places_win.h"
#include "removal/listed_path.h"
#include "removal/rule_files.h"
#include "search/file_tally_win.h"

namespace removal {
namespace {

// Why a rule takes nothing, whatever the list says; empty when it may walk.
std::wstring RuleRefusal(const std::wstring& folder, listfile::ProtectedPlaces& places) {
  const std::wstring refused = PathRefusal(folder);
  if (!refused.empty()) return refused;
  if (const auto place = places.Find(folder))
    return L"a protected place (" + listfile::PlaceName(*place) + L"); a rule never takes from it";
  const DWORD attributes = GetFileAttributesW(base::paths::FolderApiPath(folder).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
    return L"a link to another folder; a rule never follows one";
  return std::wstring();
}

// A walked folder's parent as the walk writes it, with its closing "\\".
std::wstring ParentOf(const std::wstring& folder) {
  const size_t end = base::paths::ParentEnd(folder);
  return end == std::wstring::npos ? std::wstring() : folder.substr(0, end + 1);
}

// The walked subfolders that hold nothing once the taken files are gone:
// every file in them taken (and none kept back), no link among them, and
// every subfolder of theirs emptied too. The rule's own folder (the first)
// is never one. Deepest first.
std::vector<std::wstring> EmptiedFolders(const std::vector<search::WalkedFolder>& walked,
                                         const std::unordered_set<std::wstring>& keptBack) {
  std::unordered_map<std::wstring, size_t> index;
  for (size_t i = 0; i < walked.size(); ++i) index.emplace(walked[i].path, i);
  std::vector<char> holdsSome(walked.size(), 0);
  std::vector<std::wstring> emptied;
  for (size_t i = walked.size(); i-- > 1;) {  // after everything each folder holds
    const search::WalkedFolder& w = walked[i];
    if (!w.link && w.kept == 0 && !holdsSome[i] && !keptBack.count(w.path)) {
      emptied.push_back(w.path);
      continue;
    }
    const auto parent = index.find(ParentOf(w.path));
    if (parent != index.end()) holdsSome[parent->second] = 1;
  }
  return emptied;
}

// The walk of one rule: its files join the plan unless the plan has them;
// the subfolders it empties are handed back.
void TakeForRule(Plan& plan, size_t r, std::uint64_t now, const std::vector<std::wstring>& never,
                 std::unordered_set<std::wstring>& seen, const std::atomic<bool>& stop,
                 std::vector<std::wstring>& emptied) {
  PlannedRule& planned = plan.rules[r];
  const listfile::FolderRule& rule = planned.rule;
  const RuleChoice choice(rule);
  search::FileTake take = search::TakeFiles(
      rule.folder, rule.subfolders,
      [&choice, now](const search::ListedFile& file) { return choice.Takes(file.name, file.lastWritten, now); },
      stop);
  if (take.stopped) return;
  std::unordered_set<std::wstring> keptBack;  // folders holding a file the rule may not take
  for (size_t i = 0; i < take.files.size(); ++i) {
    std::wstring key = base::paths::PathKey(take.files[i]);
    if (std::find(never.begin(), never.end(), key) != never.end()) {
      keptBack.insert(take.files[i].substr(0, base::paths::LastSeparator(take.files[i]) + 1));
      continue;
    }
    if (!seen.insert(std::move(key)).second) continue;  // listed, or taken by another rule: one item
    plan.files.push_back(std::move(take.files[i]));
    planned.bytes += take.sizes[i];
    ++planned.files;
  }
  if (rule.removeEmptied) emptied = EmptiedFolders(take.folders, keptBack);
}

size_t Separators(const std::wstring& path) { return std::count(path.begin(), path.end(), L'\\'); }

}  // namespace

std::uint64_t RuleClock() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  return (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

void ExpandRules(Plan& plan, std::uint64_t now, const std::atomic<bool>* stop) {
  if (plan.expanded) return;
  plan.expanded = true;
  plan.listedFiles = plan.files.size();
  if (plan.rules.empty()) return;
  static const std::atomic<bool> kNeverStopped{false};
  const std::atomic<bool>& stopFlag = stop ? *stop : kNeverStopped;
  std::vector<std::wstring> never{base::paths::PathKey(base::paths::ProgramPath())};
  if (!plan.listPath.empty()) never.push_back(base::paths::PathKey(plan.listPath));
  std::unordered_set<std::wstring> seenFiles, seenFolders;
  for (const std::wstring& file : plan.files) seenFiles.insert(base::paths::PathKey(file));
  for (const std::wstring& folder : plan.folders) seenFolders.insert(base::paths::PathKey(folder));
  listfile::ProtectedPlaces places;
  std::vector<std::pair<std::wstring, size_t>> emptied;  // with its rule
  for (size_t r = 0; r < plan.rules.size() && !stopFlag; ++r) {
    PlannedRule& planned = plan.rules[r];
    planned.firstFile = plan.files.size();
    planned.refusal = RuleRefusal(planned.rule.folder, places);
    if (!planned.refusal.empty()) continue;
    std::vector<std::wstring> folders;
    TakeForRule(plan, r, now, never, seenFiles, stopFlag, folders);
    for (std::wstring& folder : folders) {
      if (!seenFolders.insert(base::paths::PathKey(folder)).second) continue;
      emptied.emplace_back(std::move(folder), r);
      ++planned.folders;
    }
  }
  // Deepest first, so each goes after everything it held.
  std::stable_sort(emptied.begin(), emptied.end(), [](const auto& a, const auto& b) {
    return Separators(a.first) > Separators(b.first);
  });
  std::vector<std::wstring> folders;
  folders.reserve(emptied.size() + plan.folders.size());
  for (auto& [folder, rule] : emptied) {
    folders.push_back(std::move(folder));
    plan.ruleOfFolder.push_back(rule);
  }
  for (std::wstring& folder : plan.folders) folders.push_back(std::move(folder));
  plan.folders = std::move(folders);
}

}  // namespace removal
