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

void RemoveStarters(const Approval& approval) {
  RemoveSignInValue(approval.signInName);
  DeleteScheduledTask(approval.taskName);
}

// Every Run value and task that starts `program` unattended on the list (on
// any list when it is empty), whatever its name.
void RemoveMarkedStarters(const std::wstring& program, const std::wstring& listPath) {
  if (program.empty()) return;
  RemoveSignInValuesWhere([&](const StartCommand& c) { return IsApprovalStarter(c, program, listPath); });
  DeleteScheduledTasksWhere([&](const StartCommand& c) { return IsApprovalStarter(c, program, listPath); });
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
  if (const std::optional<Approval> earlier = FindApproval(listPath)) RemoveStarters(*earlier);
  RemoveMarkedStarters(base::paths::ProgramPath(), listPath);
  DropApproval(listPath);
  const std::wstring name = FreeStartName(listPath);
  if (schedule.when != RunWhen::Never) {
    if (!MakeStarter(listPath, schedule, name, problem)) return false;
    (schedule.when == RunWhen::SignIn ? approval.signInName : approval.taskName) = name;
  }
  if (KeepApproval(approval)) return true;
  RemoveStarters(approval);
  problem = L"The approval could not be written to the settings.";
  return false;
}

void Withdraw(const std::wstring& listPath) {
  if (const std::optional<Approval> approval = FindApproval(listPath)) RemoveStarters(*approval);
  RemoveMarkedStarters(base::paths::ProgramPath(), listPath);
  DropApproval(listPath);
}

void RemoveAllStarters(const std::wstring& program) {
  for (const Approval& approval : AllApprovals()) RemoveStarters(approval);
  RemoveMarkedStarters(program, std::wstring());
}

}  // namespace unattended
