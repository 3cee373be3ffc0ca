// The password prompt of a removal run. OK has the run read the list named
// on the command line, asks for confirmation, has the run check the password
// and run the passes, and shows its closing message; every way out of the
// prompt ends the program (through its message loop: the prompt goes, the
// end is asked for, and nothing more is done). The passes run on a thread
// of their own while the prompt's message loop goes on; Cancel then reads
// "Stop": Stop, Esc or a close request (Task Manager's End task sends one)
// end the run after the items in hand.
#include "removal/login_window_win.h"

#include <commctrl.h>
#include <objbase.h>

#include <atomic>
#include <memory>
#include <string>

#include "base/com_apartment_win.h"
#include "base/error_trap_win.h"
#include "base/program_win.h"
#include "base/window_job_win.h"
#include "base/window_win.h"
#include "removal/preview_window_win.h"
#include "removal/removal_plan.h"
#include "removal/removal_run_win.h"
#include "services/registry_win.h"

namespace removal {
namespace {

const wchar_t kClassName[] = L"OmbrelayLogin";
constexpr UINT kMsgRunProgress = WM_APP + 30;
constexpr UINT kMsgRunEnded = WM_APP + 31;
constexpr UINT kMsgReadAheadProgress = WM_APP + 32;  // never told
constexpr UINT kMsgReadAheadEnded = WM_APP + 33;     // not waited for
// The Recycle Bin choice is remembered from run to run; "1" means ticked.
const wchar_t kRecycleBinValue[] = L"RecycleBin";
constexpr int kClientWidth = 4590;
constexpr int kClientHeight = 1515;

// Creation order is the tab order.
const base::ControlSpec kControls[] = {
    {kPasswordPromptLabel, L"STATIC", L"&Password:", SS_LEFT, 0, 105, 180, 1080, 270},
    {kPasswordEdit, L"EDIT", L"", ES_PASSWORD | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, 1290, 135, 2325, 345},
    // The progress bar takes the check box's place once the run starts.
    {kRecycleBinBox, L"BUTTON", L"Move to &Recycle Bin", BS_AUTOCHECKBOX | WS_TABSTOP, 0, 105, 570, 3510, 285},
    {kRemovalProgress, PROGRESS_CLASSW, L"", 0, 0, 105, 600, 3510, 225},
    {kOkButton, L"BUTTON", L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 495, 960, 1140, 390},
    {kCancelButton, L"BUTTON", L"Cancel", BS_PUSHBUTTON | WS_TABSTOP, 0, 2100, 960, 1140, 390},
    {kPreviewButton, L"BUTTON", L"&Preview\u2026", BS_PUSHBUTTON | WS_TABSTOP, 0, 3345, 960, 1140, 390},
};

// What the prompt and the thread running the passes share.
struct RunningList {
  explicit RunningList(RemovalRun&& r) : run(std::move(r)) {}
  RemovalRun run;
  Disposal disposal = Disposal::Delete;
  std::atomic<size_t> done{0};
  std::atomic<size_t> total{0};
  ClosingMessage closing;  // written by the thread before its end message
};

class LoginWindow : public base::Window {
 public:
  bool Open(HICON icon, const std::wstring& arguments);

 private:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  bool OnCreate() override;
  void OnCommand(int id, int code) override;
  void Close() override;
  void OnOk();
  void OnPreview();
  void OnPreviewRead(HWND preview, bool listed);
  void RemoveListed(RemovalRun&& run);
  void OnRunProgress();
  void OnRunEnded();
  Disposal ChosenDisposal() const;
  Disposal TickedDisposal() const;
  void ShowProgress(size_t done, size_t total);
  void SetRunning(bool running);
  void RequestStop();
  // Closes the prompt and asks for the program's end; the caller returns at
  // once. Once more does nothing.
  void Leave();
  // True once the program is ending, for whatever reason (a close request
  // while a message box was open, say): a step coming back from a message
  // box goes no further then, whatever the box answered.
  bool Left() const { return base::Ending(); }
  int Ask(const std::wstring& text, const wchar_t* title, UINT type) const {
    return MessageBoxW(hwnd_, text.c_str(), title, type);
  }

  bool busy_ = false;
  std::shared_ptr<RunningList> running_;
  std::shared_ptr<base::WindowJob> job_;
  std::wstring arguments_;
  std::unique_ptr<PreviewWindow> preview_;
  std::unique_ptr<PreviewWindow> reading_;  // a newer preview still reading the list
  // The list read and planned while the prompt waits for its first press.
  std::shared_ptr<ListReadAhead> ahead_ = std::make_shared<ListReadAhead>();
  std::shared_ptr<base::WindowJob> aheadJob_;
};

bool LoginWindow::Open(HICON icon, const std::wstring& arguments) {
  arguments_ = arguments;
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
  const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT | WS_EX_APPWINDOW;
  base::WindowSpec spec{kClassName, L"Password", style, exStyle};
  spec.client = {kClientWidth, kClientHeight};
  // The prompt takes the main window's icon.
  spec.icon = spec.smallIcon = icon;
  spec.controls = kControls;
  if (!Create(spec)) return false;
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  SetFocus(GetDlgItem(hwnd_, kPasswordEdit));
  // A preview takes what is read here when the file has not changed since;
  // without a thread it reads the list itself. A failure here is passed
  // over: the preview or the run reads the list again under its own Guard.
  aheadJob_ = base::WindowJob::Start(hwnd_, kMsgReadAheadProgress, kMsgReadAheadEnded,
                                     [ahead = ahead_, path = ListPathFromArguments(arguments_)](base::WindowJob&) {
                                       RemovalRun(path).ReadAhead(*ahead);
                                     });
  return true;
}

LRESULT LoginWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case DM_GETDEFID: return MAKELRESULT(kOkButton, DC_HASDEFID);
    case WM_ENDSESSION: Close(); return 0;
    case kMsgRunProgress: OnRunProgress(); return 0;
    case kMsgRunEnded: OnRunEnded(); return 0;
    case kMsgPreviewRead: OnPreviewRead(reinterpret_cast<HWND>(lp), wp != FALSE); return 0;
    default: return Window::OnMessage(msg, wp, lp);
  }
}

bool LoginWindow::OnCreate() {
  // The progress bar shows only while a long list is being removed.
  ShowWindow(Control(kRemovalProgress), SW_HIDE);
  if (services::GetSetting(kRecycleBinValue) == L"1") CheckDlgButton(hwnd_, kRecycleBinBox, BST_CHECKED);
  return true;
}

// While the passes run only Cancel (then "Stop") is heard; Cancel and Esc
// are a close request.
void LoginWindow::OnCommand(int id, int code) {
  if (code != BN_CLICKED) return;
  if (id == kCancelButton) return Close();
  if (busy_) return;
  if (id == kOkButton) OnOk();
  if (id == kPreviewButton) OnPreview();
}

// A close request stops a run under way, and otherwise leaves.
void LoginWindow::Close() {
  if (busy_) {
    RequestStop();
  } else {
    Leave();
  }
}

// Everything is read afresh at each press: the list may have changed.
void LoginWindow::OnOk() {
  RemovalRun run(ListPathFromArguments(arguments_));
  std::wstring problem;
  if (!run.Read(problem)) {
    Ask(problem, L"Remove", MB_OK | MB_ICONEXCLAMATION);
    return Leave();
  }
  // It counts what the list holds now: a preview shown earlier may no longer
  // be true. What the preview found the rules take is told while the list
  // still has those rules, as what it found.
  const RulesForeseen* foreseen = preview_ ? preview_->Foreseen() : nullptr;
  if (Ask(run.Confirmation(foreseen), L"Remove", MB_YESNOCANCEL | MB_ICONINFORMATION) != IDYES || Left())
    return Leave();
  if (!run.PasswordMatches(ControlText(kPasswordEdit))) {
    Ask(L"Incorrect Password.", L"Password", MB_OK | MB_ICONINFORMATION);
    return;
  }
  RemoveListed(std::move(run));
}

// The preview reads the list afresh too, and changes nothing: it needs no
// password and leaves the remembered Recycle Bin choice as it is. It reads
// the list on its own thread while its window is made; one shown before
// stays until then.
void LoginWindow::OnPreview() {
  auto preview = std::make_unique<PreviewWindow>();
  if (!preview->Open(hwnd_, ListPathFromArguments(arguments_), TickedDisposal(), ahead_)) {
    preview_.reset();
    Ask(L"The preview could not be opened.", L"Preview", MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  reading_ = std::move(preview);  // one at a time: the newest
}

// A list that reads replaces the preview shown before; one that does not
// is told as the run would tell it.
void LoginWindow::OnPreviewRead(HWND preview, bool listed) {
  if (!reading_ || reading_->hwnd() != preview) return;  // of a preview replaced since
  if (listed) {
    preview_ = std::move(reading_);
    return;
  }
  const std::wstring problem = reading_->Problem();
  reading_.reset();
  if (Left()) return;
  Ask(problem, L"Preview", MB_OK | MB_ICONEXCLAMATION);
}

Disposal LoginWindow::TickedDisposal() const {
  return IsDlgButtonChecked(hwnd_, kRecycleBinBox) == BST_CHECKED ? Disposal::RecycleBin : Disposal::Delete;
}

// A choice that cannot be remembered is no reason to hold up the run: it
// goes untold.
Disposal LoginWindow::ChosenDisposal() const {
  const Disposal disposal = TickedDisposal();
  services::SaveSetting(kRecycleBinValue, disposal == Disposal::RecycleBin ? L"1" : L"0");
  return disposal;
}

// The passes run on their own thread; the prompt shows their progress and
// their closing message, then ends the program.
void LoginWindow::RemoveListed(RemovalRun&& run) {
  const Disposal disposal = ChosenDisposal();
  preview_.reset();  // the run shows its own progress
  reading_.reset();
  running_ = std::make_shared<RunningList>(std::move(run));
  running_->disposal = disposal;
  auto work = [state = running_](base::WindowJob& job) {
    // The shell's Recycle Bin moves want the thread in a single-threaded
    // apartment, as the window's own thread is.
    const base::ApartmentScope apartment;
    state->closing = state->run.Run(
        state->disposal,
        [&](size_t done, size_t total) {
          state->done = done;
          state->total = total;
          job.TellProgress();
        },
        job.StopFlag());
  };
  job_ = base::WindowJob::Start(hwnd_, kMsgRunProgress, kMsgRunEnded, std::move(work));
  if (!job_) {
    running_.reset();
    Ask(L"The removal could not be started: no thread could be started.", L"Status", MB_OK | MB_ICONEXCLAMATION);
    return Leave();
  }
  SetRunning(true);
}

void LoginWindow::OnRunProgress() {
  if (!job_ || !running_) return;
  job_->ProgressTaken();
  ShowProgress(running_->done, running_->total);
}

void LoginWindow::OnRunEnded() {
  if (!job_ || !job_->Ended()) return;
  SetRunning(false);
  if (job_->Failed()) {
    // The run was cut short: the report says where, and no closing
    // message pretends to sum it up.
    base::trap::Guard([&] { job_->ThrowFailure(); });
  } else {
    const ClosingMessage& closing = running_->closing;
    Ask(closing.text, L"Status", MB_OK | (closing.warns ? MB_ICONEXCLAMATION : MB_ICONINFORMATION));
  }
  Leave();
}

// While the passes run only Stop takes input; the password, OK and the
// Recycle Bin choice are shut, so the messages let through cannot start
// anything.
void LoginWindow::SetRunning(bool running) {
  busy_ = running;
  for (int id : {kPasswordEdit, kOkButton, kRecycleBinBox, kPreviewButton})
    EnableWindow(GetDlgItem(hwnd_, id), !running);
  HWND cancel = GetDlgItem(hwnd_, kCancelButton);
  SetWindowTextW(cancel, running ? L"Stop" : L"Cancel");
  EnableWindow(cancel, TRUE);
  if (running) SetFocus(cancel);
}

void LoginWindow::RequestStop() {
  if (job_) job_->Stop();
  EnableWindow(GetDlgItem(hwnd_, kCancelButton), FALSE);
}

// The bar takes the Recycle Bin box's place at the first progress.
void LoginWindow::ShowProgress(size_t done, size_t total) {
  HWND bar = GetDlgItem(hwnd_, kRemovalProgress);
  if (!IsWindowVisible(bar)) {
    SendMessageW(bar, PBM_SETRANGE32, 0, static_cast<LPARAM>(total));
    ShowWindow(GetDlgItem(hwnd_, kRecycleBinBox), SW_HIDE);
    ShowWindow(bar, SW_SHOW);
  }
  SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(done), 0);
}

void LoginWindow::Leave() {
  if (job_) job_->Forget();
  if (aheadJob_) aheadJob_->Forget();
  if (hwnd_) {
    base::trap::Guard([&] { ST(DestroyWindow(hwnd_)); });
  }
  base::EndProgram();
}

}  // namespace

void ShowLoginWindow(HICON icon, const std::wstring& arguments) {
  static LoginWindow login;
  if (!login.Open(icon, arguments)) base::trap::RaiseWin32(GetLastError());
}

}  // namespace removal
