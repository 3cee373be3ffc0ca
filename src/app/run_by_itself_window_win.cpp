// The "Run by itself" window: its controls, the choice read from them, and
// OK with its checks of what was typed. The approval itself is made by the
// command that opened the window.
#include "app/run_by_itself_window_win.h"

#include <commctrl.h>

#include <utility>

#include "base/error_trap_win.h"
#include "base/texts.h"

namespace app {
namespace {

const wchar_t kClassName[] = L"OmbrelayRunByItself";
constexpr int kClientWidth = 5400;
constexpr int kClientHeight = 3600;

// Creation order is the tab order; the four choices are one group.
const base::ControlSpec kControls[] = {
    {kRunListLabel, L"STATIC", L"", SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS, 0, 120, 120, 5160, 255},
    {kRunNever, L"BUTTON", L"&Never", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 0, 120, 480, 3000, 285},
    {kRunSignIn, L"BUTTON", L"At &sign-in", BS_AUTORADIOBUTTON, 0, 120, 780, 3000, 285},
    {kRunDaily, L"BUTTON", L"Every &day", BS_AUTORADIOBUTTON, 0, 120, 1080, 3000, 285},
    {kRunWeekly, L"BUTTON", L"Every &week on", BS_AUTORADIOBUTTON, 0, 120, 1380, 1700, 285},
    {kRunDay, WC_COMBOBOXW, L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP, 0, 1860, 1335, 1600, 1800},
    {kRunTimeLabel, L"STATIC", L"A&t:", SS_LEFT, 0, 120, 1800, 600, 255},
    {kRunTime, L"EDIT", L"", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, 780, 1755, 900, 330},
    {kRunTimeHint, L"STATIC", L"hours:minutes, 24-hour clock", SS_LEFT | SS_NOPREFIX, 0, 1800, 1800, 3480, 255},
    {kRunRecycle, L"BUTTON", L"Move to &Recycle Bin", BS_AUTOCHECKBOX | WS_TABSTOP, 0, 120, 2220, 4000, 285},
    {kRunPasswordLabel, L"STATIC", L"&Password:", SS_LEFT, 0, 120, 2670, 1140, 255},
    {kRunPassword, L"EDIT", L"", ES_PASSWORD | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, 1320, 2625, 3960, 330},
    {kRunOk, L"BUTTON", L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 2760, 3120, 1200, 375},
    {kRunCancel, L"BUTTON", L"Cancel", BS_PUSHBUTTON | WS_TABSTOP, 0, 4080, 3120, 1200, 375},
};

const int kWhenButtons[] = {kRunNever, kRunSignIn, kRunDaily, kRunWeekly};

// "H:MM" or "HH:MM" (blanks around it aside), in range.
bool ReadTime(std::wstring text, unattended::Schedule& s) {
  const size_t first = text.find_first_not_of(L' ');
  if (first == std::wstring::npos) return false;
  text = text.substr(first, text.find_last_not_of(L' ') - first + 1);
  const size_t colon = text.find(L':');
  if (colon == std::wstring::npos || colon < 1 || colon > 2 || text.size() != colon + 3) return false;
  if (text.find_first_not_of(L"0123456789", 0) != colon ||
      text.find_first_not_of(L"0123456789", colon + 1) != std::wstring::npos)
    return false;
  const int hour = std::stoi(text.substr(0, colon)), minute = std::stoi(text.substr(colon + 1));
  if (hour > 23 || minute > 59) return false;
  s.hour = hour;
  s.minute = minute;
  return true;
}

}  // namespace

bool RunByItselfWindow::Open(HWND owner, HICON icon, const std::wstring& listName, const RunChoice& shown, Done done) {
  if (hwnd_) return false;
  base::WindowSpec spec{kClassName, L"Run by Itself", base::kDialogStyle, base::kDialogExStyle, owner};
  spec.client = {kClientWidth, kClientHeight};
  spec.icon = icon;
  spec.controls = kControls;
  if (!Create(spec)) return false;
  done_ = std::move(done);
  Fill(listName, shown);
  ShowOverOwner();
  SetFocus(Control(kWhenButtons[static_cast<int>(shown.schedule.when)]));
  return true;
}

void RunByItselfWindow::OnCommand(int id, int code) {
  switch (id) {
    case kRunNever:
    case kRunSignIn:
    case kRunDaily:
    case kRunWeekly:
      if (code == BN_CLICKED) EnableFields();
      break;
    case kRunOk: OnOk(); break;
    default:  // Cancel, Esc
      Window::OnCommand(id, code);
      break;
  }
}

void RunByItselfWindow::Fill(const std::wstring& listName, const RunChoice& shown) {
  base::trap::Guard([&] {
    CHECK_WIN(SetDlgItemTextW(hwnd_, kRunListLabel, (L"When " + listName + L" runs by itself:").c_str()));
    HWND day = Control(kRunDay);
    for (int weekday = 0; weekday < base::text::kDaysInWeek; ++weekday)
      SendMessageW(day, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(base::text::DayName(weekday)));
    SendMessageW(day, CB_SETCURSEL, static_cast<WPARAM>(shown.schedule.weekday), 0);
    CHECK_WIN(SetDlgItemTextW(hwnd_, kRunTime, unattended::TimeText(shown.schedule).c_str()));
    CheckRadioButton(hwnd_, kRunNever, kRunWeekly, kWhenButtons[static_cast<int>(shown.schedule.when)]);
    CheckDlgButton(hwnd_, kRunRecycle, shown.recycle ? BST_CHECKED : BST_UNCHECKED);
    EnableFields();
  });
}

unattended::RunWhen RunByItselfWindow::ChosenWhen() const {
  for (int i = 0; i < 4; ++i)
    if (IsDlgButtonChecked(hwnd_, kWhenButtons[i]) == BST_CHECKED) return static_cast<unattended::RunWhen>(i);
  return unattended::RunWhen::Never;
}

// Each field is open only for the choices it belongs to.
void RunByItselfWindow::EnableFields() {
  const unattended::RunWhen when = ChosenWhen();
  const bool timed = when == unattended::RunWhen::Daily || when == unattended::RunWhen::Weekly;
  const bool runs = when != unattended::RunWhen::Never;
  EnableWindow(Control(kRunDay), when == unattended::RunWhen::Weekly);
  for (int id : {kRunTimeLabel, kRunTime, kRunTimeHint}) EnableWindow(Control(id), timed);
  for (int id : {kRunRecycle, kRunPasswordLabel, kRunPassword}) EnableWindow(Control(id), runs);
}

void RunByItselfWindow::OnOk() {
  RunChoice choice;
  choice.schedule.when = ChosenWhen();
  const LRESULT day = SendMessageW(Control(kRunDay), CB_GETCURSEL, 0, 0);
  choice.schedule.weekday = day >= 0 && day < 7 ? static_cast<int>(day) : 1;
  const bool timed =
      choice.schedule.when == unattended::RunWhen::Daily || choice.schedule.when == unattended::RunWhen::Weekly;
  if (timed && !ReadTime(ControlText(kRunTime), choice.schedule)) {
    MessageBoxW(hwnd_, L"Type the time as hours and minutes, such as 03:00 or 18:30.", L"Run by Itself",
                MB_OK | MB_ICONEXCLAMATION);
    SetFocus(Control(kRunTime));
    return;
  }
  choice.recycle = IsDlgButtonChecked(hwnd_, kRunRecycle) == BST_CHECKED;
  if (choice.schedule.when != unattended::RunWhen::Never) choice.password = ControlText(kRunPassword);
  if (done_ && !done_(choice)) {
    SetFocus(Control(kRunPassword));
    return;
  }
  Close();
}

void RunByItselfWindow::Close() {
  done_ = nullptr;
  CloseOverOwner();
}

}  // namespace app
