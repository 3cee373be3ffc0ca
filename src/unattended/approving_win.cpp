// Approvals with their starters: the names, the command line, the task's
// definition.
#include "unattended/approving_win.h"

#include <windows.h>

#include <optional>
#include <vector>

#include "base/error_trap_win.h"
#include "base/paths.h"
#include "base/paths_win.h"
#include "base/sha256_win.h"
#include "base/texts_win.h"
#include "unattended/approval_store_win.h"
#include "unattended/starters_win.h"
#include "unattended/task_xml.h"

namespace unattended {
namespace {

// What stayed of a list's starters: the Run value, the task.
struct Stayed {
  bool signIn = false;
  HRESULT task = S_OK;
  bool Any() const { return signIn || FAILED(task); }
  void Add(const Stayed& other) {
    signIn = signIn || other.signIn;
    if (SUCCEEDED(task)) task = other.task;
  }
  // "The sign-in entry that starts it could not be removed." and the like.
  std::wstring Text() const {
    std::wstring text;
    if (signIn) text += L"The sign-in entry that starts it could not be removed.";
    if (FAILED(task)) {
      if (!text.empty()) text += L" ";
      text += L"The scheduled task that starts it could not be removed: " + base::trap::HresultMessage(task) + L".";
    }
    return text;
  }
};

Stayed RemoveStarters(const Approval& approval) {
  Stayed stayed;
  stayed.signIn = !RemoveSignInValue(approval.signInName);
  stayed.task = DeleteScheduledTask(approval.taskName);
  return stayed;
}

// Every Run value and task that starts `program` unattended on the list (on
// any list when it is empty), whatever its name.
Stayed RemoveMarkedStarters(const std::wstring& program, const std::wstring& listPath) {
  Stayed stayed;
  if (program.empty()) return stayed;
  stayed.signIn =
      !RemoveSignInValuesWhere([&](const StartCommand& c) { return IsApprovalStarter(c, program, listPath); });
  stayed.task =
      DeleteScheduledTasksWhere([&](const StartCommand& c) { return IsApprovalStarter(c, program, listPath); });
  return stayed;
}

// The list's starters, those its approval names and any other that starts
// this program unattended on it.
Stayed RemoveListStarters(const std::wstring& listPath) {
  Stayed stayed;
  if (const std::optional<Approval> approval = FindApproval(listPath)) stayed = RemoveStarters(*approval);
  stayed.Add(RemoveMarkedStarters(base::paths::ProgramPath(), listPath));
  return stayed;
}

// The first name no other list's approval uses for its Run value or task.
std::wstring FreeStartName(const std::wstring& listPath) {
  const std::vector<Approval> others = AllApprovals();
  for (int n = 1;; ++n) {
    const std::wstring name = StartName(listPath, n);
    bool taken = false;
    for (const Approval& other : others)
      taken = taken || (!base::paths::SamePath(other.listPath, listPath) &&
                        (base::paths::SamePath(other.signInName, name) || base::paths::SamePath(other.taskName, name)));
    if (!taken) return name;
  }
}

// Makes the starter the schedule asks for under `name`; false with the
// reason when it could not be made.
bool MakeStarter(const std::wstring& listPath, const Schedule& schedule, const std::wstring& name,
                 std::wstring& problem) {
  const std::wstring program = base::paths::ProgramPath();
  if (program.empty()) {
    problem = base::trap::SystemMessage(GetLastError());
    return false;
  }
  const std::wstring arguments = UnattendedArguments(listPath);
  if (schedule.when == RunWhen::SignIn) {
    if (SetSignInValue(name, program, arguments)) return true;
    problem = L"The sign-in entry could not be written.";
    return false;
  }
  const std::wstring today = base::text::DateText(base::text::LocalNow());
  const std::wstring xml =
      TaskXml(schedule, {program, arguments}, L"Runs the Ombrelay delete list " + listPath + L".", today);
  const HRESULT hr = RegisterScheduledTask(name, xml);
  if (SUCCEEDED(hr)) return true;
  problem = L"The scheduled task could not be made: " + base::trap::SystemMessage(static_cast<DWORD>(hr));
  return false;
}

}  // namespace

bool Approve(const std::wstring& listPath, const std::string& bytes, const Schedule& schedule, bool recycle,
             std::wstring& problem) {
  Approval approval;
  approval.listPath = listPath;
  approval.digest = base::Sha256Hex(bytes);
  approval.schedule = schedule;
  approval.recycle = recycle;
  if (approval.digest.empty()) {
    problem = L"The list file's digest could not be made.";
    return false;
  }
  // A starter of the earlier approval that stayed would start the list at
  // its old time as well: nothing new is made then.
  const Stayed stayed = RemoveListStarters(listPath);
  if (stayed.Any()) {
    problem = stayed.Text() + L" Nothing was changed: the list runs by itself as it did.";
    return false;
  }
  DropApproval(listPath);
  const std::wstring name = FreeStartName(listPath);
  if (schedule.when != RunWhen::Never) {
    if (!MakeStarter(listPath, schedule, name, problem)) return false;
    (schedule.when == RunWhen::SignIn ? approval.signInName : approval.taskName) = name;
  }
  if (KeepApproval(approval)) return true;
  RemoveStarters(approval);  // just made, and taken away again as far as it goes
  problem = L"The approval could not be written to the settings.";
  return false;
}

bool Withdraw(const std::wstring& listPath, std::wstring& problem) {
  const Stayed stayed = RemoveListStarters(listPath);
  if (!DropApproval(listPath)) {
    problem = L"Its approval could not be taken out of the settings, so it still runs by itself.";
    if (stayed.Any()) problem += L" " + stayed.Text();
    return false;
  }
  if (!stayed.Any()) return true;
  problem = stayed.Text() +
            L" Without its approval the list removes nothing when it starts; each start adds a "
            L"line to the run log.";
  return false;
}

// The uninstaller's step has nobody to tell: what stays is left as it is.
void RemoveAllStarters(const std::wstring& program) {
  for (const Approval& approval : AllApprovals()) RemoveStarters(approval);
  RemoveMarkedStarters(program, std::wstring());
}

}  // namespace unattended
