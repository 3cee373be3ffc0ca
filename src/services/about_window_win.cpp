// The About window: one window at a time; OK closes it and the next opening
// creates it afresh. Layout in twips scaled to the screen's DPI.
#include "services/about_window_win.h"

#include "base/error_trap_win.h"
#include "base/handles_win.h"
#include "base/window_metrics_win.h"
#include "services/app_constants.h"
#include "services/system_info_win.h"

namespace services {
namespace {

const wchar_t kClassName[] = L"OmbrelayAbout";
constexpr int kClientWidth = 5730;
constexpr int kClientHeight = 3795;

// In the window's own order, which is also the Tab order. The title and the
// version are the program's own, set when the window is created.
const base::ControlSpec kControls[] = {
    {kAboutOk, L"BUTTON", L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 4245, 2625, 1260, 345},
    {kAboutSystemInfo, L"BUTTON", L"&System Info...", BS_PUSHBUTTON | WS_TABSTOP, 0, 4260, 3075, 1245, 345},
    {kAboutWebsite, L"STATIC", L"Visit www.farrowdene.example for updates and other applications.",
     SS_LEFT | SS_NOPREFIX, 0, 255, 1800, 5220, 480},
    {kAboutUpperRule, L"STATIC", L"", SS_ETCHEDHORZ, 0, 120, 1687, 5490, 30},
    {kAboutDescription, L"STATIC", L"Will add files to a list that can be deleted with the press of a button.",
     SS_LEFT | SS_NOPREFIX, 0, 1050, 1125, 4455, 480},
    {kAboutTitle, L"STATIC", L"", SS_LEFT | SS_NOPREFIX, 0, 1050, 240, 4455, 480},
    {kAboutLowerRule, L"STATIC", L"", SS_ETCHEDHORZ, 0, 120, 2400, 5490, 30},
    {kAboutVersion, L"STATIC", L"", SS_LEFT | SS_NOPREFIX, 0, 1050, 780, 4455, 285},
    {kAboutDisclaimer, L"STATIC", L"Warning: Use this program at your own risk. ", SS_LEFT | SS_NOPREFIX, 0, 255, 2625,
     3870, 825},
};

const wchar_t kUnavailable[] = L"System Information Is Unavailable At This Time";

}  // namespace

void StartSystemInfo(HWND owner) {
  const std::wstring path = SystemInfoPath();
  if (path.empty() || !StartProgram(path)) MessageBoxW(owner, kUnavailable, kAppName, MB_OK);
}

// Centred on the owner while it shows, else on the work area. The icon is
// the big one alone: the title bar keeps no icon, as a dialog's.
void AboutWindow::Open(HWND owner, HICON icon) {
  base::trap::Guard([&] {
    if (!hwnd_) {
      const std::wstring caption = L"About " + std::wstring(kAppName);
      base::WindowSpec spec{kClassName, caption.c_str(), base::kDialogStyle, base::kDialogExStyle, owner};
      spec.client = {kClientWidth, kClientHeight};
      spec.icon = icon;
      spec.controls = kControls;
      CHECK_WIN(Create(spec));
    }
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
  });
}

// The title in its larger font, and the program's name and version.
bool AboutWindow::OnCreate() {
  SetTitleFont();
  base::trap::Guard([&] {
    CHECK_WIN(SetDlgItemTextW(hwnd_, kAboutTitle, kAppName));
    CHECK_WIN(SetDlgItemTextW(hwnd_, kAboutVersion, kCurrentVersion));
  });
  return true;
}

// OK closes as Cancel (Esc) does.
void AboutWindow::OnCommand(int id, int code) {
  if (id == kAboutOk) {
    Close();
  } else if (id == kAboutSystemInfo) {
    base::trap::Guard([&] { ST(StartSystemInfo(hwnd_)); });
  } else {
    Window::OnCommand(id, code);
  }
}

void AboutWindow::Close() {
  base::trap::Guard([&] { CHECK_WIN(DestroyWindow(hwnd_)); });
}

LRESULT AboutWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCDESTROY) titleFont_.reset();
  return Window::OnMessage(msg, wp, lp);
}

void AboutWindow::SetTitleFont() {
  titleFont_ = base::win::CreateMessageFont(dpi_, 150, true);
  if (titleFont_) SendMessageW(Control(kAboutTitle), WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_.get()), FALSE);
}

// At a new DPI the title keeps its own larger font.
void AboutWindow::Layout() {
  Window::Layout();
  SetTitleFont();
}

}  // namespace services
