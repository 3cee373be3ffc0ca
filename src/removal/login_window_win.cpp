// The password prompt of a removal run. OK has the run read the list named
// on the command line, asks for confirmation, has the run check the password
// and run the passes, and shows its closing message; every way out of the
// prompt ends the program. While the passes run, Cancel reads "Stop": Stop,
// Esc or a close request (Task Manager's End task sends one) end the run
// after the items in hand.
#include "removal/login_window_win.h"

#include <commctrl.h>

#include <atomic>
#include <string>

#include "base/program_win.h"
#include "base/window_metrics_win.h"
#include "removal/removal_plan.h"
#include "removal/removal_run_win.h"
#include "services/app_constants.h"
#include "services/error_trap_win.h"
#include "services/registry_win.h"

namespace removal {
namespace {

const wchar_t kClassName[] = L"OmbrelayLogin";
// The Recycle Bin choice is remembered from run to run; "1" means ticked.
const wchar_t kRecycleBinValue[] = L"RecycleBin";
constexpr int kClientWidth = 3750;
constexpr int kClientHeight = 1515;

struct ControlSpec {
  int id;
  const wchar_t* cls;
  const wchar_t* text;
  DWORD style;
  DWORD exStyle;
  int left, top, width, height;  // twips
};

// Creation order is the tab order.
const ControlSpec kControls[] = {
    {kLblLabels, L"STATIC", L"&Password:", SS_LEFT, 0, 105, 180, 1080, 270},
    {kTxtPassword, L"EDIT", L"", ES_PASSWORD | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, 1290, 135, 2325, 345},
    // The progress bar takes the check box's place once the run starts.
    {kChkRecycleBin, L"BUTTON", L"Move to &Recycle Bin", BS_AUTOCHECKBOX | WS_TABSTOP, 0, 105, 570, 3510, 285},
    {kPbRemoval, PROGRESS_CLASSW, L"", 0, 0, 105, 600, 3510, 225},
    {kCmdOK, L"BUTTON", L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 495, 960, 1140, 390},
    {kCmdCancel, L"BUTTON", L"Cancel", BS_PUSHBUTTON | WS_TABSTOP, 0, 2100, 960, 1140, 390},
};

class LoginWindow {
 public:
  bool Create(HICON icon, const std::wstring& arguments);

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
  void OnLoad(HICON icon);
  void CreateControls();
  void OnOk();
  void RemoveListed(RemovalRun& run);
  Disposal ChosenDisposal() const;
  void ShowProgress(size_t done, size_t total);
  void SetRunning(bool running);
  void RequestStop();
  [[noreturn]] void Leave();
  int Px(int twips) const { return win::TwipsToPixels(twips, static_cast<UINT>(dpi_)); }
  int Ask(const std::wstring& text, const wchar_t* title, UINT type) const {
    return MessageBoxW(hwnd_, text.c_str(), title, type);
  }
  std::wstring Typed() const;

  HWND hwnd_ = nullptr;
  HFONT font_ = nullptr;
  int dpi_ = 96;
  bool busy_ = false;
  std::atomic<bool> stop_{false};
  std::wstring arguments_;
};


bool LoginWindow::Create(HICON icon, const std::wstring& arguments) {
  arguments_ = arguments;
  dpi_ = static_cast<int>(win::WindowDpi(nullptr));
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = WndProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClassName;
  if (!RegisterClassExW(&wc)) return false;
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
  const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT | WS_EX_APPWINDOW;
  RECT frame{0, 0, Px(kClientWidth), Px(kClientHeight)};
  AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  hwnd_ = CreateWindowExW(exStyle, kClassName, L"Password", style, work.left + (work.right - work.left - width) / 2,
                          work.top + (work.bottom - work.top - height) / 2, width, height, nullptr, nullptr, instance,
                          this);
  if (!hwnd_) return false;
  OnLoad(icon);
  base::AddDialogWindow(hwnd_);
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  SetFocus(GetDlgItem(hwnd_, kTxtPassword));
  return true;
}

LRESULT CALLBACK LoginWindow::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<LoginWindow*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<LoginWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  return self ? self->HandleMessage(msg, wp, lp) : DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT LoginWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE:
      CreateControls();
      return 0;
    case DM_GETDEFID:
      return MAKELRESULT(kCmdOK, DC_HASDEFID);
    case WM_COMMAND:
      if (HIWORD(wp) != BN_CLICKED) return 0;
      if (busy_) {
        if (LOWORD(wp) == kCmdCancel) RequestStop();
        return 0;
      }
      if (LOWORD(wp) == kCmdOK) OnOk();
      if (LOWORD(wp) == kCmdCancel) Leave();
      return 0;
    case WM_CLOSE:
    case WM_ENDSESSION:
      if (busy_) RequestStop();
      else Leave();
      return 0;
    default:
      return DefWindowProcW(hwnd_, msg, wp, lp);
  }
}

void LoginWindow::CreateControls() {
  font_ = win::CreateMessageFont(static_cast<UINT>(dpi_));
  HINSTANCE instance = GetModuleHandleW(nullptr);
  for (const ControlSpec& c : kControls) {
    HWND control = CreateWindowExW(c.exStyle, c.cls, c.text, WS_CHILD | c.style, Px(c.left), Px(c.top),
                                   Px(c.width), Px(c.height), hwnd_,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance, nullptr);
    if (!control) continue;
    if (font_) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    if (c.id == kChkRecycleBin && services::GetString(HKEY_CURRENT_USER, services::MainKey, kRecycleBinValue) == L"1")
      SendMessageW(control, BM_SETCHECK, BST_CHECKED, 0);
    // The progress bar shows only while a long list is being removed.
    if (c.id != kPbRemoval) ShowWindow(control, SW_SHOW);
  }
}

// The window load: the prompt takes the main window's icon.
void LoginWindow::OnLoad(HICON icon) {
  trap::Guard([&] {
    ST(SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon)));
    ST(SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
  });
}

std::wstring LoginWindow::Typed() const {
  HWND edit = GetDlgItem(hwnd_, kTxtPassword);
  int n = GetWindowTextLengthW(edit);
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  n = GetWindowTextW(edit, &text[0], n + 1);
  text.resize(static_cast<size_t>(n > 0 ? n : 0));
  return text;
}

// Everything is read afresh at each press: the list may have changed.
void LoginWindow::OnOk() {
  RemovalRun run(ListPathFromArguments(arguments_));
  std::wstring problem;
  if (!run.Read(problem)) {
    Ask(problem, L"Remove", MB_OK | MB_ICONEXCLAMATION);
    Leave();
  }
  if (Ask(run.Confirmation(), L"Remove", MB_YESNOCANCEL | MB_ICONINFORMATION) != IDYES) Leave();
  if (!run.PasswordMatches(Typed())) {
    Ask(L"Incorrect Password.", L"Password", MB_OK | MB_ICONINFORMATION);
    return;
  }
  RemoveListed(run);
  Leave();
}

Disposal LoginWindow::ChosenDisposal() const {
  const bool recycle = IsDlgButtonChecked(hwnd_, kChkRecycleBin) == BST_CHECKED;
  services::SaveString(HKEY_CURRENT_USER, services::MainKey, kRecycleBinValue, recycle ? L"1" : L"0");
  return recycle ? Disposal::RecycleBin : Disposal::Delete;
}

void LoginWindow::RemoveListed(RemovalRun& run) {
  const Disposal disposal = ChosenDisposal();
  SetRunning(true);
  const ClosingMessage closing =
      run.Run(disposal, [this](size_t done, size_t total) { ShowProgress(done, total); }, &stop_);
  SetRunning(false);
  Ask(closing.text, L"Status", MB_OK | (closing.warns ? MB_ICONEXCLAMATION : MB_ICONINFORMATION));
}

// While the passes run only Stop takes input; the password, OK and the
// Recycle Bin choice are shut, so the messages let through cannot start
// anything.
void LoginWindow::SetRunning(bool running) {
  busy_ = running;
  for (int id : {kTxtPassword, kCmdOK, kChkRecycleBin}) EnableWindow(GetDlgItem(hwnd_, id), !running);
  HWND cancel = GetDlgItem(hwnd_, kCmdCancel);
  SetWindowTextW(cancel, running ? L"Stop" : L"Cancel");
  EnableWindow(cancel, TRUE);
  if (running) SetFocus(cancel);
}

void LoginWindow::RequestStop() {
  stop_ = true;
  EnableWindow(GetDlgItem(hwnd_, kCmdCancel), FALSE);
}

// Keeps the prompt painted and Stop, Esc and a close request reachable
// while the passes run.
void LoginWindow::ShowProgress(size_t done, size_t total) {
  HWND bar = GetDlgItem(hwnd_, kPbRemoval);
  if (!IsWindowVisible(bar)) {
    SendMessageW(bar, PBM_SETRANGE32, 0, static_cast<LPARAM>(total));
    ShowWindow(GetDlgItem(hwnd_, kChkRecycleBin), SW_HIDE);
    ShowWindow(bar, SW_SHOW);
  }
  SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(done), 0);
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      RequestStop();
      continue;
    }
    if (base::DispatchDialogMessage(&msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void LoginWindow::Leave() {
  trap::Guard([&] {
    ST(DestroyWindow(hwnd_));
  });
  base::EndProgram();
}

}  // namespace

void ShowLoginWindow(HICON icon, const std::wstring& arguments) {
  static LoginWindow login;
  if (!login.Create(icon, arguments)) trap::RaiseWin32(GetLastError());
}

}  // namespace removal
