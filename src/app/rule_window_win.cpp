// The folder rule window: its controls, the rule read from them, OK with
// its questions, and the live count on a window job. The rule's format and
// checks live in listfile/folder_rule.h; what it takes now is the run's own
// answer (removal/rule_answer_win.h), so the window never counts what the
// run would refuse.
#include "app/rule_window_win.h"

#include <commctrl.h>

#include <atomic>
#include <utility>

#include "app/add_folder_browser_win.h"
#include "base/error_trap_win.h"
#include "base/paths.h"
#include "base/texts_win.h"
#include "listfile/protected_places_win.h"
#include "removal/rule_answer_win.h"
#include "removal/rule_files.h"

namespace app {
namespace {

const wchar_t kClassName[] = L"OmbrelayRule";
constexpr int kClientWidth = 6600;
constexpr int kClientHeight = 3960;
constexpr UINT kMsgCountProgress = WM_APP + 50;
constexpr UINT kMsgCountEnded = WM_APP + 51;
// The count starts once the typing has paused this long.
constexpr UINT_PTR kCountTimer = 1;
constexpr UINT kCountPauseMs = 250;
const wchar_t kBrowseTitle[] = L"Choose the folder the rule keeps clean:";
const wchar_t kDaysText[] = L"days";
const wchar_t kHoursText[] = L"hours";

// Creation order is the tab order: each label just before its field, so its
// access key reaches the field.
const base::ControlSpec kControls[] = {
    {kRuleFolderLabel, L"STATIC", L"&Folder:", SS_LEFT, 0, 120, 165, 1140, 255},
    {kRuleFolder, L"EDIT", L"", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, 1320, 120, 3900, 330},
    {kRuleBrowse, L"BUTTON", L"&Browse...", BS_PUSHBUTTON | WS_TABSTOP, 0, 5310, 105, 1170, 360},
    {kRuleNamesLabel, L"STATIC", L"&Names:", SS_LEFT, 0, 120, 600, 1140, 255},
    {kRuleNames, L"EDIT", L"", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, 1320, 555, 5160, 330},
    {kRuleExceptionsLabel, L"STATIC", L"E&xcept:", SS_LEFT, 0, 120, 1035, 1140, 255},
    {kRuleExceptions, L"EDIT", L"", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, 1320, 990, 5160, 330},
    {kRuleAgeLabel, L"STATIC", L"Older &than:", SS_LEFT, 0, 120, 1470, 1140, 255},
    {kRuleAge, L"EDIT", L"", ES_AUTOHSCROLL | ES_NUMBER | WS_TABSTOP, WS_EX_CLIENTEDGE, 1320, 1425, 900, 330},
    {kRuleAgeUnit, WC_COMBOBOXW, L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0, 2310, 1425, 1200, 1200},
    {kRuleAgeHint, L"STATIC", L"Names: patterns separated by \";\", none for all files. Age: none for any age.",
     SS_LEFT | SS_NOPREFIX, 0, 3600, 1380, 2880, 480},
    {kRuleSubfolders, L"BUTTON", L"With &subfolders", BS_AUTOCHECKBOX | WS_TABSTOP, 0, 120, 1920, 3000, 300},
    {kRuleEmptied, L"BUTTON", L"Remove &emptied subfolders", BS_AUTOCHECKBOX | WS_TABSTOP, 0, 120, 2280, 3600, 300},
    {kRuleCount, L"STATIC", L"", SS_LEFT | SS_NOPREFIX, 0, 120, 2760, 6360, 480},
    {kRuleOk, L"BUTTON", L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 3960, 3420, 1200, 375},
    {kRuleCancel, L"BUTTON", L"Cancel", BS_PUSHBUTTON | WS_TABSTOP, 0, 5280, 3420, 1200, 375},
};

// What the run would say of the rule now, its count in the user's style.
std::wstring CountText(const removal::RuleAnswer& answer) {
  if (!answer.refusal.empty()) return L"The rule takes nothing: " + answer.refusal + L".";
  return L"Now the rule would take " +
         base::text::Counted(answer.files, L"file", L"files", base::text::UserNumberStyle()) + L" (" +
         base::text::ExplorerSize(answer.bytes) + L").";
}

}  // namespace

bool RuleWindow::Open(HWND owner, HICON icon, const wchar_t* caption, const listfile::FolderRule& rule,
                      const std::wstring& listPath, Done done) {
  if (hwnd_) return false;
  listPath_ = listPath;
  base::WindowSpec spec{kClassName, caption, base::kDialogStyle, base::kDialogExStyle, owner};
  spec.client = {kClientWidth, kClientHeight};
  spec.icon = icon;
  spec.controls = kControls;
  if (!Create(spec)) return false;
  done_ = std::move(done);
  Fill(rule);
  ShowOverOwner();
  SetFocus(Control(kRuleFolder));
  StartCount();
  return true;
}

LRESULT RuleWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_TIMER:
      if (wp == kCountTimer) StartCount();
      return 0;
    case kMsgCountProgress: return 0;
    case kMsgCountEnded: OnCountEnded(); return 0;
    case WM_DESTROY:  // also when the owner goes first
      StopCount();
      return Window::OnMessage(msg, wp, lp);
    default: return Window::OnMessage(msg, wp, lp);
  }
}

void RuleWindow::OnCommand(int id, int code) {
  switch (id) {
    case kRuleFolder:
    case kRuleNames:
    case kRuleExceptions:
    case kRuleAge:
      if (code == EN_CHANGE) ScheduleCount();
      break;
    case kRuleAgeUnit:
      if (code == CBN_SELCHANGE) ScheduleCount();
      break;
    case kRuleSubfolders:
      EnableWindow(Control(kRuleEmptied), IsDlgButtonChecked(hwnd_, kRuleSubfolders) == BST_CHECKED);
      ScheduleCount();
      break;
    case kRuleBrowse: Browse(); break;
    case kRuleOk: OnOk(); break;
    default:  // Cancel, Esc
      Window::OnCommand(id, code);
      break;
  }
}

void RuleWindow::Fill(const listfile::FolderRule& rule) {
  base::trap::Guard([&] {
    HWND unit = Control(kRuleAgeUnit);
    SendMessageW(unit, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kDaysText));
    SendMessageW(unit, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kHoursText));
    SendMessageW(unit, CB_SETCURSEL, rule.ageUnit == listfile::AgeUnit::Hours ? 1 : 0, 0);
    CHECK_WIN(SetDlgItemTextW(hwnd_, kRuleFolder, rule.folder.c_str()));
    CHECK_WIN(SetDlgItemTextW(hwnd_, kRuleNames, listfile::JoinPatterns(rule.names).c_str()));
    CHECK_WIN(SetDlgItemTextW(hwnd_, kRuleExceptions, listfile::JoinPatterns(rule.exceptions).c_str()));
    const std::wstring age = rule.ageUnit == listfile::AgeUnit::None ? L"" : std::to_wstring(rule.age);
    CHECK_WIN(SetDlgItemTextW(hwnd_, kRuleAge, age.c_str()));
    CheckDlgButton(hwnd_, kRuleSubfolders, rule.subfolders ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(hwnd_, kRuleEmptied, rule.removeEmptied ? BST_CHECKED : BST_UNCHECKED);
    EnableWindow(Control(kRuleEmptied), rule.subfolders);
  });
}

// The rule as the fields hold it now. A typed age too large for the count
// is kept out of range, so that the rule's check refuses it.
listfile::FolderRule RuleWindow::Typed() const {
  listfile::FolderRule rule;
  const std::wstring folder = ControlText(kRuleFolder);
  const size_t first = folder.find_first_not_of(L' ');
  if (first != std::wstring::npos) {
    // In the one spelling the list keeps (a path that is not full stays as
    // typed, for the rule's check to refuse).
    const std::wstring canonical = base::paths::Canonical(folder.substr(first));
    rule.folder = base::paths::WithSeparator(canonical.empty() ? folder.substr(first) : canonical);
  }
  rule.names = listfile::SplitTypedPatterns(ControlText(kRuleNames));
  rule.exceptions = listfile::SplitTypedPatterns(ControlText(kRuleExceptions));
  const std::wstring age = ControlText(kRuleAge);
  if (age.find_first_not_of(L' ') != std::wstring::npos) {
    const bool hours = SendMessageW(Control(kRuleAgeUnit), CB_GETCURSEL, 0, 0) == 1;
    rule.ageUnit = hours ? listfile::AgeUnit::Hours : listfile::AgeUnit::Days;
    const bool digits = age.find_first_not_of(L"0123456789") == std::wstring::npos && age.size() <= 7;
    rule.age = digits ? static_cast<uint32_t>(std::stoul(age)) : 0;
  }
  rule.subfolders = IsDlgButtonChecked(hwnd_, kRuleSubfolders) == BST_CHECKED;
  rule.removeEmptied = rule.subfolders && IsDlgButtonChecked(hwnd_, kRuleEmptied) == BST_CHECKED;
  return rule;
}

void RuleWindow::Browse() {
  std::wstring chosen;
  base::trap::Guard([&] { chosen = ST(BrowseForFolderPath(hwnd_, kBrowseTitle)); });
  if (!chosen.empty()) SetDlgItemTextW(hwnd_, kRuleFolder, chosen.c_str());
}

// A rule that cannot be kept says why and stays open; a protected folder
// asks first, as Add Folder does (No leaves the window open).
void RuleWindow::OnOk() {
  listfile::FolderRule rule = Typed();
  std::wstring problem = listfile::RuleProblem(rule);
  if (problem.empty()) problem = removal::PatternsProblem(rule);
  if (!problem.empty()) {
    MessageBoxW(hwnd_, problem.c_str(), L"Rule", MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  bool allowed = false;
  base::trap::Guard([&] {
    listfile::ProtectedPlaces places;
    allowed = ST(listfile::MayAdd(hwnd_, places, rule.folder));
  });
  if (!allowed) return;
  const Done done = std::move(done_);
  Close();
  if (done) done(rule);
}

void RuleWindow::Close() {
  StopCount();
  KillTimer(hwnd_, kCountTimer);
  done_ = nullptr;
  CloseOverOwner();
}

void RuleWindow::ScheduleCount() {
  if (!SetTimer(hwnd_, kCountTimer, kCountPauseMs, nullptr)) StartCount();
}

// A newer count replaces the one running: that one is told to stop and its
// end message is no longer posted.
void RuleWindow::StartCount() {
  KillTimer(hwnd_, kCountTimer);
  StopCount();
  const listfile::FolderRule rule = Typed();
  std::wstring problem = listfile::RuleProblem(rule);
  if (problem.empty()) problem = removal::PatternsProblem(rule);
  if (!problem.empty()) return SetCountText(problem);
  auto work = [rule, listPath = listPath_](base::WindowJob& job) {
    removal::NeverTaken never;
    if (!listPath.empty()) never.Add(listPath);
    listfile::ProtectedPlaces places;
    return CountText(removal::AnswerRule(rule, never, places, removal::RuleClock(), false, *job.StopFlag()));
  };
  count_ = base::TextJob::Start(hwnd_, kMsgCountProgress, kMsgCountEnded, std::move(work));
  SetCountText(count_ ? L"Counting what the rule would take now..." : L"");
}

// An end message of a count replaced meanwhile finds no count of its own.
// A count that failed is reported and leaves the line empty.
void RuleWindow::OnCountEnded() {
  if (!count_ || !count_->Ended()) return;
  const std::unique_ptr<base::TextJob> count = std::move(count_);
  std::wstring text;
  base::trap::Guard([&] { text = count->Take(); });
  SetCountText(text);
}

void RuleWindow::StopCount() { count_.reset(); }

void RuleWindow::SetCountText(const std::wstring& text) { SetDlgItemTextW(hwnd_, kRuleCount, text.c_str()); }

}  // namespace app
