// The main window: creation, one handler per message, the commands its
// buttons and menus send, the busy state of an add, and the paths that drops
// and other starts hand in. The controls and their layout, the menus and the
// list view are in main_window_controls_win.cpp, main_window_menus_win.cpp
// and main_window_list_win.cpp.
#include "app/main_window_win.h"

#include <shellapi.h>

#include <algorithm>
#include <iterator>
#include <utility>

#include "app/commands_win.h"
#include "app/drop_target_win.h"
#include "app/one_window_win.h"
#include "base/error_trap.h"
#include "base/program_win.h"

namespace app {
namespace {

const wchar_t kClassName[] = L"OmbrelayMain";
constexpr int kIconResource = 1;
// Posted to the window after a drop, so the drag source is free again
// before any question is asked.
constexpr UINT kMsgDropped = WM_APP + 1;
// Paths handed in by other starts are added once none has come for this
// long: the shell starts one process per selected item, all at once.
constexpr UINT_PTR kQueueTimer = 1;
constexpr UINT kQueueQuietMs = 200;
// Paths that come this soon after the last ones were added are still the
// same selection: a slow start among many must not ask "Clear" again.
constexpr DWORD kOneSelectionMs = 3000;

// The buttons and File menu items refused while an add command runs.
const int kBusyButtons[] = {kRemoveButton, kLoadListButton, kSaveListButton, kSelectAllButton, kInvertButton};
const int kBusyMenuItems[] = {kMenuAddFile, kMenuAddFolder, kMenuAddRule, kMenuAddRoutines, kMenuRemove};
constexpr DWORD kLongestAddMs = 60 * 60 * 1000;

// The list view handles its own keys but Tab and Esc (which stops a
// search); everything else in the main window goes through its dialog
// navigation.
bool LeftToTheList(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || msg.wParam == VK_TAB || msg.wParam == VK_ESCAPE) return false;
  wchar_t cls[32] = L"";
  GetClassNameW(msg.hwnd, cls, 32);
  return lstrcmpiW(cls, L"SysListView32") == 0;
}

}  // namespace

MainWindow& TheMainWindow() {
  static MainWindow window;
  return window;
}

bool MainWindow::Create(HINSTANCE instance) {
  idleSince_ = GetTickCount();
  queueEndedAt_ = idleSince_ - kOneSelectionMs;
  lastHandOverAt_ = queueEndedAt_;
  icon_ = LoadIconW(instance, MAKEINTRESOURCEW(kIconResource));
  base::WindowSpec spec{kClassName, L"", WS_OVERLAPPEDWINDOW, WS_EX_CONTROLPARENT};
  // Never smaller than its first size.
  spec.client = spec.smallest = FirstClientSize();
  spec.icon = spec.smallIcon = icon_;
  spec.leaveOut = LeftToTheList;
  spec.controls = Controls();
  if (!Window::Create(spec)) return false;
  // The program's window: an end asked for while it shows (not through
  // Close) keeps its placement too.
  base::SetBeforeEnd(hwnd_, [this] { RememberPlacement(); });
  return true;
}

LRESULT MainWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_NOTIFY: return OnNotify(reinterpret_cast<NMHDR*>(lp));
    case WM_SIZE:
      if (wp != SIZE_MINIMIZED) Layout();
      return 0;
    case WM_CONTEXTMENU: OnContextMenu(reinterpret_cast<HWND>(wp), lp); return 0;
    case WM_DROPFILES: OnDrop(DroppedFiles(reinterpret_cast<HDROP>(wp))); return 0;
    case kMsgDropped: RunPendingDrop(); return 0;
    case kMsgSearchProgress: OnSearchProgress(); return 0;
    case kMsgSearchEnded: OnSearchEnded(); return 0;
    case WM_COPYDATA: return OnCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lp));
    case WM_TIMER:
      if (wp == kQueueTimer) OnQueueQuiet();
      return 0;
    case WM_ENABLE:
      // A modal box or dialog has closed: a drop taken meanwhile runs now.
      if (wp && HasWaitingPaths()) PostMessageW(hwnd_, kMsgDropped, 0, 0);
      return 0;
    case WM_ENDSESSION:
      if (wp) Close();  // not when the end of the session was called off
      return 0;
    case WM_DESTROY: base::EndProgram(0); return 0;
    default: return Window::OnMessage(msg, wp, lp);
  }
}

bool MainWindow::OnCreate() {
  CreateMenuBar();
  SetUpControls();
  Layout();
  AcceptDrops(
      hwnd_, [this](std::vector<std::wstring> paths) { OnDrop(std::move(paths)); }, [this] { return TakesDrops(); });
  return true;
}

// Close, Exit and the end of the session end the program through the one
// message loop: the placement is kept while the window still shows, a
// running search is told to stop, and the window goes, which ends the loop.
void MainWindow::Close() {
  if (!hwnd_) return;
  RememberPlacement();
  if (stopSearch_) stopSearch_();
  DestroyWindow(hwnd_);
}

void MainWindow::OnCommand(int id, int code) {
  if (code != BN_CLICKED && code != 0) return;
  if (Refused(id)) {
    MessageBeep(MB_OK);
    return;
  }
  switch (id) {
    case kAddFileOption:
    case kAddRuleOption:
    case kAddRoutinesOption: EnableWindow(Control(kSubFoldersBox), FALSE); break;
    case kAddFolderOption: EnableWindow(Control(kSubFoldersBox), TRUE); break;
    case IDCANCEL:  // Esc
      if (stopSearch_) stopSearch_();
      break;
    case kAddButton:
      if (stopSearch_) {
        stopSearch_();
      } else if (!ClickedWhileBusy()) {
        if (AddRuleSelected()) {
          RunRuleCommand(*this);
        } else if (AddRoutinesSelected()) {
          RunRoutinesCommand(*this);
        } else {
          RunAddCommand(*this, AddFileSelected());
        }
      }
      break;
    case kMenuAddFile: RunAddCommand(*this, true); break;
    case kMenuAddFolder: RunAddCommand(*this, false); break;
    case kMenuAddRule: RunRuleCommand(*this); break;
    case kMenuAddRoutines: RunRoutinesCommand(*this); break;
    case kRemoveButton:
    case kMenuRemove: RemoveSelected(); break;
    case kSelectAllButton: SelectAll(); break;
    case kInvertButton: InvertSelection(); break;
    case kLoadListButton: LoadListCommand(*this); break;
    case kSaveListButton: SaveListCommand(*this); break;
    case kMenuRunByItself: RunByItselfCommand(*this); break;
    case kMenuRunLog: RunLogCommand(*this); break;
    case kMenuAboutOmbrelay: about_.Open(hwnd_, icon_); break;
    case kMenuExit: Close(); break;
    default: break;
  }
}

// A command that still arrives while its button or menu item is greyed
// (posted, or typed before the add began) is turned away.
bool MainWindow::Refused(int id) const {
  if (!busy_) return false;
  const auto refuses = [id](const auto& ids) { return std::find(std::begin(ids), std::end(ids), id) != std::end(ids); };
  return refuses(kBusyButtons) || refuses(kBusyMenuItems);
}

// The message being handled was made (clicked, typed, posted) while the
// last add ran. The tick clock wraps, so only the hour before the add's end
// counts.
bool MainWindow::ClickedWhileBusy() const {
  const DWORD madeBefore = idleSince_ - static_cast<DWORD>(GetMessageTime());
  return !busy_ && madeBefore > 0 && madeBefore < kLongestAddMs;
}

// Drops are taken when the window is shown, no add runs and no modal box or
// dialog has disabled the window.
bool MainWindow::TakesDrops() const { return !busy_ && IsWindowEnabled(hwnd_) && IsWindowVisible(hwnd_); }

void MainWindow::SetBusy(bool busy) {
  if (!busy) idleSince_ = GetTickCount();
  busy_ = busy;
  for (int id : kBusyButtons) EnableWindow(Control(id), !busy);
  HMENU bar = GetMenu(hwnd_);
  for (int id : kBusyMenuItems)
    EnableMenuItem(bar, static_cast<UINT>(id), MF_BYCOMMAND | (busy ? MF_GRAYED : MF_ENABLED));
  if (!busy && HasWaitingPaths()) PostMessageW(hwnd_, kMsgDropped, 0, 0);
}

// A drop only queues its names; they are added once the drop has returned.
// While the window takes no drops the drop target turns them away; an
// older-style drop (WM_DROPFILES), which cannot be turned away, is refused
// here.
void MainWindow::OnDrop(std::vector<std::wstring> paths) {
  if (paths.empty()) return;
  if (!TakesDrops()) {
    MessageBeep(MB_OK);
    return;
  }
  pendingDrops_.push_back(std::move(paths));
  PostMessageW(hwnd_, kMsgDropped, 0, 0);
}

// A drop taken just before an add began, or a dialog opened, waits for its
// end (SetBusy and WM_ENABLE post the message again).
void MainWindow::RunPendingDrop() {
  if (!TakesDrops()) return;
  if (pendingDrops_.empty()) {
    if (queueQuiet_ && !queuedPaths_.empty()) RunQueuedPaths();
    return;
  }
  std::vector<std::wstring> paths = std::move(pendingDrops_.front());
  pendingDrops_.erase(pendingDrops_.begin());
  RunDropCommand(*this, paths);
}

bool MainWindow::HasWaitingPaths() const { return !pendingDrops_.empty() || (queueQuiet_ && !queuedPaths_.empty()); }

void MainWindow::RunWaitingPaths() { PostMessageW(hwnd_, kMsgDropped, 0, 0); }

// Unmarked, the window still takes its own start's paths; later starts
// then open windows of their own.
void MainWindow::TakePathsFromOtherStarts() { takesPaths_ = MarkAsEditingWindow(hwnd_); }

// Another start's paths are only copied here: a question asked inside the
// message would hold that start, and the shell's start of the next item.
LRESULT MainWindow::OnCopyData(const COPYDATASTRUCT* data) {
  if (!takesPaths_) return FALSE;
  bool taken = false;
  base::trap::Guard([&] {
    std::vector<std::wstring> paths = ST(HandedPaths(data));
    if (paths.empty()) return;
    ST(QueuePaths(std::move(paths)));
    taken = true;
  });
  if (!taken) return FALSE;
  BringToFront();
  return TRUE;
}

void MainWindow::QueuePaths(std::vector<std::wstring> paths) {
  if (paths.empty()) return;
  if (queuedPaths_.empty()) queueAsksClear_ = !SameSelection();
  lastHandOverAt_ = GetTickCount();
  queuedPaths_.insert(queuedPaths_.end(), std::make_move_iterator(paths.begin()), std::make_move_iterator(paths.end()));
  queueQuiet_ = false;
  if (!SetTimer(hwnd_, kQueueTimer, kQueueQuietMs, nullptr)) OnQueueQuiet();
}

// Paths that come soon after the last ones, or while those are added with
// no question open, or soon after, are the same selection. Paths that come
// long after, while a question is open, are the user's next selection:
// they wait for the question to close and ask "Clear" themselves.
bool MainWindow::SameSelection() const {
  const DWORD now = GetTickCount();
  if (now - lastHandOverAt_ < kOneSelectionMs) return true;
  if (!IsWindowEnabled(hwnd_)) return false;
  return queueRunning_ || now - queueEndedAt_ < kOneSelectionMs;
}

void MainWindow::OnQueueQuiet() {
  KillTimer(hwnd_, kQueueTimer);
  queueQuiet_ = true;
  PostMessageW(hwnd_, kMsgDropped, 0, 0);
}

// The paths are taken after the "Clear" question has been answered, so
// those that came while it was asked are added with the others.
std::vector<std::wstring> MainWindow::TakeQueuedPaths() { return std::exchange(queuedPaths_, {}); }

void MainWindow::RunQueuedPaths() {
  queueQuiet_ = false;
  queueRunning_ = true;
  RunQueuedPathsCommand(*this, queueAsksClear_, [this] {
    queueRunning_ = false;
    queueEndedAt_ = GetTickCount();
  });
}

// The window (or the question it shows) comes to the front, out of the
// taskbar if need be, to show what was handed to it.
void MainWindow::BringToFront() {
  if (!IsWindowVisible(hwnd_)) return;
  if (IsIconic(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
  SetForegroundWindow(GetLastActivePopup(hwnd_));
}

}  // namespace app
