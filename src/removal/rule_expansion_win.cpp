// The rules' walks and the merge of what they take into the plan.
#include "removal/rule_expansion_win.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <unordered_set>
#include <utility>
#include <vector>

#include "base/paths.h"
#include "removal/routine_answer_win.h"
#include "removal/rule_answer_win.h"
#include "routines/variables_win.h"

namespace removal {
namespace {

// The routines' answers, by their place among the plan's rules, made side by
// side before the rules are merged in order; none where it was
// stopped before a routine was answered.
std::vector<std::optional<RoutineAnswer>> AnswerPlannedRoutines(const Plan& plan, const NeverTaken& never,
                                                                const std::atomic<bool>& stop) {
  std::vector<std::optional<RoutineAnswer>> answers(plan.rules.size());
  std::vector<const listfile::Routine*> routines;
  std::vector<size_t> places;
  for (size_t r = 0; r < plan.rules.size(); ++r) {
    if (!plan.rules[r].routine) continue;
    routines.push_back(&*plan.rules[r].routine);
    places.push_back(r);
  }
  if (routines.empty()) return answers;
  const routines::SystemVariables variables;
  AnswerRoutines(routines, Fit::Decide, variables.Lookup(), never, true, kRoutinesSideBySide, stop,
                 [&](size_t i, RoutineAnswer&& answer, size_t) { answers[places[i]] = std::move(answer); });
  return answers;
}

}  // namespace

void ExpandRules(Plan& plan, std::uint64_t now, const std::atomic<bool>* stop) {
  if (plan.expanded) return;
  plan.expanded = true;
  plan.listedFiles = plan.files.size();
  if (plan.rules.empty()) return;
  static const std::atomic<bool> kNeverStopped{false};
  const std::atomic<bool>& stopFlag = stop ? *stop : kNeverStopped;
  NeverTaken never;
  if (!plan.listPath.empty()) never.Add(plan.listPath);
  std::unordered_set<std::wstring> seenFiles, seenFolders;
  for (const std::wstring& file : plan.files) seenFiles.insert(base::paths::PathKey(file));
  for (const std::wstring& folder : plan.folders) seenFolders.insert(base::paths::PathKey(folder));
  std::vector<std::optional<RoutineAnswer>> routineAnswers = AnswerPlannedRoutines(plan, never, stopFlag);
  listfile::ProtectedPlaces places;
  std::vector<std::pair<std::wstring, size_t>> emptied;  // with its rule
  for (size_t r = 0; r < plan.rules.size() && !stopFlag; ++r) {
    PlannedRule& planned = plan.rules[r];
    planned.firstFile = plan.files.size();
    RuleAnswer answer;
    if (planned.routine) {
      if (!routineAnswers[r]) break;  // stopped before it was answered
      planned.notes = std::move(routineAnswers[r]->notes);
      answer = std::move(*routineAnswers[r]);
    } else {
      answer = AnswerRule(planned.rule, never, places, now, true, stopFlag);
    }
    planned.refusal = std::move(answer.refusal);
    if (answer.stopped) break;  // a rule not walked to its end takes nothing
    for (size_t i = 0; i < answer.paths.size(); ++i) {
      // Listed too, or taken by another rule: one item.
      if (!seenFiles.insert(base::paths::PathKey(answer.paths[i])).second) continue;
      plan.files.push_back(std::move(answer.paths[i]));
      planned.bytes += answer.sizes[i];
      ++planned.files;
    }
    for (std::wstring& folder : answer.emptied) {
      if (!seenFolders.insert(base::paths::PathKey(folder)).second) continue;
      emptied.emplace_back(std::move(folder), r);
      ++planned.folders;
    }
  }
  // Deepest first, so each goes after everything it held.
  std::stable_sort(emptied.begin(), emptied.end(), [](const auto& a, const auto& b) {
    return base::paths::Depth(a.first) > base::paths::Depth(b.first);
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
