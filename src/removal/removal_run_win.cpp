// The removal run's steps in the order the prompt takes them.
#include "removal/removal_run_win.h"

#include <windows.h>

#include <chrono>
#include <unordered_set>

#include "base/paths_win.h"
#include "base/texts_win.h"
#include "listfile/list_file.h"
#include "removal/full_report_win.h"
#include "removal/removal_steps_win.h"
#include "removal/rule_expansion_win.h"
#include "routines/detection_win.h"

namespace removal {

RemovalRun::RemovalRun(const std::wstring& listPath) : listPath_(base::paths::FullPathName(listPath)) {
  if (listPath_.empty()) listPath_ = listPath;  // told as named when it cannot be read
}

bool RemovalRun::Read(std::wstring& problem) {
  std::string bytes;
  return ReadFile(bytes, problem) && ReadBytes(std::move(bytes), problem);
}

bool RemovalRun::ReadFile(std::string& bytes, std::wstring& problem) const {
  std::wstring reason;
  if (listfile::ReadListFile(listPath_, bytes, reason)) return true;
  problem = UnreadableListText(listPath_, reason);
  return false;
}

bool RemovalRun::ReadBytes(std::string bytes, std::wstring& problem) {
  listfile::ListContent list = listfile::ReadListTexts(std::move(bytes));
  plan_ = MakePlan(RunRecords(std::move(list.records)));
  plan_.listPath = listPath_;
  password_ = std::move(list.password);
  return Names(problem);
}

bool RemovalRun::Names(std::wstring& problem) const {
  if (plan_.files.empty() && plan_.folders.empty() && plan_.rules.empty()) {
    problem = EmptyListText(listPath_);
    return false;
  }
  return true;
}

namespace {

// A routine for a program this computer does not have takes nothing, and
// that is nothing that stayed.
bool Absent(const PlannedRule& rule) { return rule.routine && rule.refusal == routines::kNotOnThisComputer; }

}  // namespace

bool RemovalRun::Read(std::wstring& problem, ListReadAhead& ahead) {
  std::string bytes;
  if (!ReadFile(bytes, problem)) return false;
  {
    std::lock_guard<std::mutex> hold(ahead.lock);
    if (ahead.ready && ahead.bytes == bytes && ahead.plan.listPath == listPath_) {
      plan_ = std::move(ahead.plan);
      password_ = std::move(ahead.password);
      ahead.ready = false;
      ahead.bytes = std::string();
      return Names(problem);
    }
  }
  return ReadBytes(std::move(bytes), problem);
}

void RemovalRun::ReadAhead(ListReadAhead& ahead) {
  std::string bytes;
  std::wstring problem;
  if (!ReadFile(bytes, problem)) return;
  std::string read = bytes;
  if (!ReadBytes(std::move(read), problem)) return;
  std::lock_guard<std::mutex> hold(ahead.lock);
  ahead.bytes = std::move(bytes);
  ahead.plan = std::move(plan_);
  ahead.password = std::move(password_);
  ahead.ready = true;
}

ClosingMessage RemovalRun::Run(Disposal disposal, const ProgressFn& progress, const std::atomic<bool>* stop) {
  // The rules take what their folders hold now, judged by one reading of
  // the clock.
  const auto walked = std::chrono::steady_clock::now();
  ExpandRules(plan_, RuleClock(), stop);
  const double rulesSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - walked).count();
  result_ = RunPasses(plan_, progress, disposal, stop);
  result_.rulesSeconds = rulesSeconds;
  // A rule refused takes nothing and is reported as staying.
  std::vector<Leftover> refused;
  for (const PlannedRule& rule : plan_.rules)
    if (!rule.refusal.empty() && !Absent(rule)) refused.push_back({PlannedName(rule), rule.refusal});
  result_.leftovers.insert(result_.leftovers.begin(), refused.begin(), refused.end());
  return Closing(disposal);
}

// Each rule's items that went and stayed, found among the leftovers by
// the very paths the plan holds.
std::vector<RuleAccount> RemovalRun::RuleAccounts() const {
  std::unordered_set<std::wstring> left;
  for (const Leftover& leftover : result_.leftovers) left.insert(leftover.path);
  std::vector<RuleAccount> accounts(plan_.rules.size());
  for (size_t r = 0; r < plan_.rules.size(); ++r) {
    const PlannedRule& rule = plan_.rules[r];
    RuleAccount& account = accounts[r];
    account.folder = PlannedName(rule);
    account.routine = rule.routine != nullptr;
    account.absent = Absent(rule);
    if (!rule.refusal.empty() && !account.absent) account.stayed = 1;
    for (size_t f = rule.firstFile; f < rule.firstFile + rule.files; ++f)
      ++(left.count(plan_.files[f]) ? account.stayed : account.removed);
  }
  for (size_t i = 0; i < plan_.ruleOfFolder.size(); ++i)
    ++(left.count(plan_.folders[i]) ? accounts[plan_.ruleOfFolder[i]].stayed : accounts[plan_.ruleOfFolder[i]].removed);
  return accounts;
}

std::vector<std::wstring> RemovalRun::AccountLines(Disposal disposal) const {
  Account account;
  account.files = result_.removedFiles;
  account.folders = result_.removedFolders;
  account.size = base::text::ExplorerSize(result_.removedBytes);
  account.recycled = disposal == Disposal::RecycleBin;
  const NumberStyle style = base::text::UserNumberStyle();
  std::vector<std::wstring> lines{AccountText(account, style)};
  if (plan_.rules.empty()) return lines;
  const std::vector<std::wstring> rules = RulesAccountLines(RuleAccounts(), style);
  lines.insert(lines.end(), rules.begin(), rules.end());
  return lines;
}

ClosingMessage RemovalRun::Closing(Disposal disposal) const {
  const NumberStyle style = base::text::UserNumberStyle();
  const std::vector<std::wstring> lines = AccountLines(disposal);
  std::wstring account;
  for (size_t i = 0; i < lines.size(); ++i) account += (i ? L"\n" : L"") + lines[i];
  std::wstring text = ClosingText(account, result_.stopped, result_.removed, result_.leftovers, kShownLeftovers, style);
  if (result_.leftovers.size() > kShownLeftovers) text += L"\n\n" + WriteFullReport(listPath_, result_.leftovers);
  return {text, !result_.stopped && !result_.leftovers.empty()};
}

}  // namespace removal
