// The main window's commands for lists that run by themselves: approving
// the list file (or withdrawing its approval), the offer to approve a saved
// list again, the run log, and the word at start-up about runs that found
// their approval broken.
#include <windows.h>

#include <shellapi.h>

#include <optional>

#include "app/commands_win.h"
#include "app/main_window_win.h"
#include "app/run_by_itself_window_win.h"
#include "base/error_trap_win.h"
#include "base/paths.h"
#include "base/sha256_win.h"
#include "listfile/list_file.h"
#include "removal/removal_plan.h"
#include "unattended/approval.h"
#include "unattended/approval_store_win.h"
#include "unattended/approving_win.h"
#include "unattended/run_log_win.h"

namespace app {
namespace {

const wchar_t kTitle[] = L"Run by Itself";

RunByItselfWindow& TheRunWindow() {
  static RunByItselfWindow window;
  return window;
}

const wchar_t kChangedText[] =
    L" has changed on disk since it was loaded or saved here, so nothing was approved.\n\nLoad the list again "
    L"to see what it holds now, then approve it.";

int Tell(HWND owner, const std::wstring& text, UINT type) { return MessageBoxW(owner, text.c_str(), kTitle, type); }

std::wstring ListName(const std::wstring& listPath) { return std::wstring(base::paths::LastName(listPath)); }

// The list file's bytes become the approved ones, once the password they
// hold was typed, and only while they are the bytes the window last loaded
// or saved (their digest `seen`): an approval covers what the user saw.
// False keeps the window open.
bool ApplyChoice(HWND owner, const std::wstring& listPath, const std::wstring& seen, const RunChoice& choice) {
  if (choice.schedule.when == unattended::RunWhen::Never) {
    std::wstring problem;
    if (!unattended::Withdraw(listPath, problem)) {
      Tell(owner, ListName(listPath) + L": " + problem, MB_OK | MB_ICONEXCLAMATION);
      return false;
    }
    Tell(owner, ListName(listPath) + L" will not run by itself.", MB_OK | MB_ICONINFORMATION);
    return true;
  }
  std::string bytes;
  std::wstring reason;
  if (!listfile::ReadListFile(listPath, bytes, reason)) {
    Tell(owner, listfile::LoadFailedText(listPath, reason), MB_OK | MB_ICONEXCLAMATION);
    return true;
  }
  if (!unattended::BytesAreTheSeen(bytes, seen, base::Sha256Hex)) {
    Tell(owner, ListName(listPath) + kChangedText, MB_OK | MB_ICONEXCLAMATION);
    return true;
  }
  if (!removal::PasswordMatches(choice.password, listfile::ReadListTexts(bytes).password)) {
    MessageBoxW(owner, L"Incorrect Password.", L"Password", MB_OK | MB_ICONINFORMATION);
    return false;
  }
  std::wstring problem;
  if (!unattended::Approve(listPath, bytes, choice.schedule, choice.recycle, problem)) {
    Tell(owner, problem, MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  Tell(owner, ListName(listPath) + L" will run by itself: " + unattended::ScheduleText(choice.schedule) + L".",
       MB_OK | MB_ICONINFORMATION);
  return true;
}

// `seen`: the digest of the list file's bytes as the window last had them.
void OpenRunWindow(MainWindow& window, const std::wstring& listPath, const std::wstring& seen) {
  RunChoice shown;
  shown.schedule.hour = 3;  // a quiet hour, offered for a first approval
  if (const std::optional<unattended::Approval> approval = unattended::FindApproval(listPath)) {
    shown.schedule = approval->schedule;
    shown.recycle = approval->recycle;
  }
  HWND owner = window.hwnd();
  const bool opened = TheRunWindow().Open(
      owner, window.Icon(), ListName(listPath), shown, [owner, listPath, seen](const RunChoice& choice) {
        bool close = true;
        base::trap::Guard([&] { close = ST(ApplyChoice(owner, listPath, seen, choice)); });
        return close;
      });
  if (!opened) MessageBeep(MB_OK);
}

}  // namespace

void RunByItselfCommand(MainWindow& window) {
  if (window.ListPath().empty()) {
    Tell(window.hwnd(), L"Save the list, or load one, first: it is the list file that runs by itself.",
         MB_OK | MB_ICONINFORMATION);
    return;
  }
  OpenRunWindow(window, window.ListPath(), window.ListDigest());
}

void OfferReapproval(MainWindow& window, const std::wstring& listPath, const std::string& savedBytes) {
  const std::optional<unattended::Approval> approval = unattended::FindApproval(listPath);
  if (!approval || approval->schedule.when == unattended::RunWhen::Never) return;
  const std::wstring saved = base::Sha256Hex(savedBytes);
  if (saved == approval->digest) return;  // saved as it was: the approval holds
  const std::wstring text = ListName(listPath) +
                            L" was approved to run by itself, and it has changed. Until it is approved again, it "
                            L"removes nothing when it runs by itself.\n\nApprove the list as it is now?";
  if (Tell(window.hwnd(), text, MB_YESNO | MB_ICONQUESTION) == IDYES) OpenRunWindow(window, listPath, saved);
}

void RunLogCommand(MainWindow& window) {
  const std::wstring path = unattended::RunLogPath();
  if (path.empty() || GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
    Tell(window.hwnd(), L"No list has run by itself yet, so the run log is empty.", MB_OK | MB_ICONINFORMATION);
    return;
  }
  // The text editor the user opens text files with; Notepad where none is set.
  const auto opened =
      reinterpret_cast<INT_PTR>(ShellExecuteW(window.hwnd(), L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  if (opened > 32) return;
  const std::wstring quoted = L"\"" + path + L"\"";
  const auto notepad = reinterpret_cast<INT_PTR>(
      ShellExecuteW(window.hwnd(), L"open", L"notepad.exe", quoted.c_str(), nullptr, SW_SHOWNORMAL));
  if (notepad <= 32) Tell(window.hwnd(), L"The run log could not be opened:\n" + path, MB_OK | MB_ICONEXCLAMATION);
}

void TellBrokenApprovals(MainWindow& window) {
  const std::vector<std::wstring> lines = unattended::TakeBrokenApprovals();
  if (lines.empty()) return;
  std::wstring text = L"A list that was to run by itself removed nothing, because its approval no longer held:\n";
  for (const std::wstring& line : lines) text += L"\n" + line;
  text += L"\n\nLoad the list and choose File > Run by itself to approve it again. File > Run log has the details.";
  Tell(window.hwnd(), text, MB_OK | MB_ICONWARNING);
}

}  // namespace app
