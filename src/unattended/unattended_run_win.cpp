// The unattended run: its lock, its approval check on the bytes it then
// runs, the run itself, and its log entries.
#include "unattended/unattended_run_win.h"

#include <windows.h>

#include <objbase.h>

#include <optional>
#include <vector>

#include "base/encoding.h"
#include "base/error_trap.h"
#include "base/com_apartment_win.h"
#include "base/named_mutex_win.h"
#include "base/paths.h"
#include "base/text_utils.h"
#include "base/paths_win.h"
#include "base/sha256_win.h"
#include "base/texts_win.h"
#include "listfile/list_file.h"
#include "removal/removal_plan.h"
#include "removal/removal_run_win.h"
#include "unattended/approval_store_win.h"
#include "unattended/approving_win.h"
#include "unattended/run_log.h"
#include "unattended/run_log_win.h"

namespace unattended {

namespace {

const wchar_t kForgetStarters[] = L"/forget-unattended-starts";

// At most this many items that stayed are named in the log; the count says
// how many more.
constexpr size_t kLoggedLeftovers = 1000;

// Each detail is one line of the entry. The run log is where an unattended
// run tells; one that cannot be written leaves nobody to tell, and the exit
// code still says whether the run went.
void Log(const std::wstring& headline, const std::vector<std::wstring>& details = {}) {
  AppendToRunLog(LogEntry(LogStamp(), headline, details));
}

// Background priority for the whole process: the user's own work comes first.
void RunInBackground() {
  if (!SetPriorityClass(GetCurrentProcess(), PROCESS_MODE_BACKGROUND_BEGIN))
    SetPriorityClass(GetCurrentProcess(), IDLE_PRIORITY_CLASS);
}

// One run per list at a time, across programs: a named mutex keyed by the
// list's path as the file system compares it.
std::wstring ListLockName(const std::wstring& listPath) {
  return L"Local\\Ombrelay.Unattended." + base::Sha256Hex(base::enc::ToUtf8(base::paths::PathKey(listPath)));
}

// A failure the error trap catches goes to the log, never to a box that
// nobody would answer.
void LogTrapReports() {
  base::trap::SetPresenter([](const std::wstring& text, const std::wstring&) {
    Log(L"Error", base::trap::ReportLines(text));
    return base::trap::Answer::Yes;
  });
}

std::vector<std::wstring> StayedLines(const std::vector<removal::Leftover>& leftovers) {
  std::vector<std::wstring> lines;
  for (size_t i = 0; i < leftovers.size() && i < kLoggedLeftovers; ++i)
    lines.push_back(L"Stayed: " + leftovers[i].path + L" (" + leftovers[i].reason + L")");
  if (leftovers.size() > kLoggedLeftovers)
    lines.push_back(L"... and " +
                    base::text::GroupedNumber(leftovers.size() - kLoggedLeftovers, base::text::UserNumberStyle()) +
                    L" more stayed.");
  return lines;
}

// Reads, checks and runs the list; the lock is held throughout.
int RunApproved(const std::wstring& listPath) {
  FileRead file;
  file.read = listfile::ReadListFile(listPath, file.bytes, file.reason);
  const std::optional<Approval> approval = FindApproval(listPath);
  const std::wstring problem = ApprovalProblem(approval ? &*approval : nullptr, file, base::Sha256Hex);
  if (!problem.empty()) {
    Log(L"Nothing removed: " + listPath, {L"Why: " + problem + L"."});
    NoteBrokenApproval(listPath + L": " + problem + L".");
    return 1;
  }
  removal::RemovalRun run(listPath);
  std::wstring empty;
  if (!run.ReadBytes(std::move(file.bytes), empty)) {
    // The only reason: the list names nothing (the message made for a box
    // puts the path on a line of its own; the headline names it here).
    Log(L"Nothing removed: " + listPath, {L"Why: the list names no file and no folder."});
    return 1;
  }
  const removal::Disposal disposal = approval->recycle ? removal::Disposal::RecycleBin : removal::Disposal::Delete;
  const base::ApartmentScope apartment;
  run.Run(disposal, [](size_t, size_t) {});
  std::vector<std::wstring> details = run.AccountLines(disposal);
  const std::vector<std::wstring> stayed = StayedLines(run.Result().leftovers);
  details.insert(details.end(), stayed.begin(), stayed.end());
  Log(L"End: " + listPath, details);
  return 0;
}

}  // namespace

int RunUnattended(const std::wstring& arguments) {
  RunInBackground();
  LogTrapReports();
  const std::wstring listPath = removal::ListPathFromArguments(arguments);
  if (listPath.empty()) {
    Log(L"Nothing removed: the command line names no list", {arguments});
    return 1;
  }
  const base::NamedMutexLock lock(ListLockName(listPath), 0);
  if (!lock.Held()) {
    Log(L"Already running: " + listPath, {L"This start ended at once; the run under way goes on."});
    return 1;
  }
  Log(L"Start: " + listPath);
  int code = 1;
  base::trap::Guard([&] { code = ST(RunApproved(listPath)); });
  return code;
}

bool IsForgetStarters(const std::wstring& arguments) {
  const size_t length = std::size(kForgetStarters) - 1;
  return arguments.compare(0, length, kForgetStarters) == 0 &&
         (arguments.size() == length || arguments[length] == L' ');
}

int ForgetStarters(const std::wstring& arguments) {
  const base::ApartmentScope apartment;
  std::wstring program = removal::WithoutQuotes(
      std::wstring(base::text::TrimSpaces(std::wstring_view(arguments).substr(std::size(kForgetStarters) - 1))));
  if (program.empty()) program = base::paths::ProgramPath();
  RemoveAllStarters(program);
  return 0;
}

}  // namespace unattended
