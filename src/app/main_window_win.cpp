// The main window: layout in twips scaled to the monitor's DPI, a virtual list view
// over the delete list, one handler per message.
#include "app/main_window_win.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <iterator>
#include <utility>

#include "app/commands_win.h"
#include "app/drop_target_win.h"
#include "app/one_window_win.h"
#include "app/shell_actions_win.h"
#include "app/window_placement_win.h"
#include "base/clipboard_win.h"
#include "base/error_trap_win.h"
#include "base/handles_win.h"
#include "base/paths.h"
#include "base/program_win.h"
#include "base/window_metrics_win.h"
#include "removal/login_window_win.h"
#include "services/startup_win.h"

namespace app {
namespace {

const wchar_t kClassName[] = L"OmbrelayMain";
constexpr int kClientWidth = 13530;
constexpr int kClientHeight = 7905;
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

const wchar_t kAddCaption[] = L"A&dd";
// Esc stops a search too, so the button needs no access key of its own.
const wchar_t kStopCaption[] = L"Stop";
// The buttons and File menu items refused while an add command runs.
const int kBusyButtons[] = {kRemoveButton, kLoadListButton, kSaveListButton, kSelectAllButton, kInvertButton};
const int kBusyMenuItems[] = {kMenuAddFile, kMenuAddFolder, kMenuRemove};
constexpr DWORD kLongestAddMs = 60 * 60 * 1000;

// Creation order is the tab order. Positions in twips for the first client
// size; the frames' contents are placed by the frames' origins (Frame1 at
// 120,120, Frame2 at 3960,120).
const base::ControlSpec kControls[] = {
    {kAddGroup, L"BUTTON", L"Add files:", BS_GROUPBOX, 0, 120, 120, 3735, 1695},
    {kAddFileOption, L"BUTTON", L"Add F&ile", BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP, 0, 360, 480, 1215, 375},
    {kAddFolderOption, L"BUTTON", L"Add F&older", BS_AUTORADIOBUTTON, 0, 360, 840, 1215, 375},
    {kSubFoldersBox, L"BUTTON", L"Add &subfolders", BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, 0, 480, 1200, 1455, 495},
    {kAddButton, L"BUTTON", kAddCaption, BS_PUSHBUTTON | WS_TABSTOP, 0, 2040, 480, 1575, 375},
    {kRemoveButton, L"BUTTON", L"&Remove", BS_PUSHBUTTON | WS_TABSTOP, 0, 2040, 960, 1575, 375},
    {kSaveGroup, L"BUTTON", L"Save:", BS_GROUPBOX, 0, 3960, 120, 9375, 1695},
    {kPasswordLabel, L"STATIC", L"&Password:", SS_LEFT, 0, 4080, 480, 1215, 255},
    {kPasswordEdit, L"EDIT", L"", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, 4920, 405, 6495, 405},
    {kLoadListButton, L"BUTTON", L"&Load List", BS_PUSHBUTTON | WS_TABSTOP, 0, 11880, 360, 1215, 375},
    {kSaveListButton, L"BUTTON", L"Sa&ve List", BS_PUSHBUTTON | WS_TABSTOP, 0, 11880, 840, 1215, 375},
    {kFileList, WC_LISTVIEWW, L"", LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS | WS_TABSTOP | WS_BORDER,
     WS_EX_CLIENTEDGE, 120, 1920, 13215, 4935},
    {kSelectAllButton, L"BUTTON", L"Selec&t all", BS_PUSHBUTTON | WS_TABSTOP, 0, 240, 6960, 1575, 375},
    {kInvertButton, L"BUTTON", L"I&nvert selection", BS_PUSHBUTTON | WS_TABSTOP, 0, 1920, 6960, 1575, 375},
    {kProgressBar, PROGRESS_CLASSW, L"", 0, 0, 3600, 6960, 9855, 375},
    {kStatus, STATUSCLASSNAMEW, L"", 0, 0, 0, 7530, 13530, 375},
};

const base::ControlSpec& SpecOf(int id) {
  for (const base::ControlSpec& c : kControls) {
    if (c.id == id) return c;
  }
  return kControls[0];
}

// Plain words where the password is chosen: the list file keeps it as text
// (its format always has, and other tools rely on that).
const wchar_t kPasswordTip[] =
    L"The password is kept in the list file as text: it guards against a run started by mistake, not against "
    L"someone who can read the file.";

void AddTip(HWND window, HWND control, const wchar_t* text, int width) {
  HWND tip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr, nullptr, nullptr);
  if (!tip) return;
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = window;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = const_cast<wchar_t*>(text);
  SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, width);  // wraps the long text
}

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
  spec.classIcon = icon_;
  if (!Window::Create(spec)) return false;
  base::AddDialogWindow(hwnd_, LeftToTheList);
  // Close and Exit end the process at once, so the end is the last moment
  // to keep the placement.
  base::SetBeforeEnd([this] { RememberPlacement(); });
  return true;
}

LRESULT MainWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE:
      return OnCreate() ? 0 : -1;
    case WM_COMMAND:
      OnCommand(LOWORD(wp), HIWORD(wp));
      return 0;
    case WM_NOTIFY:
      return OnNotify(reinterpret_cast<NMHDR*>(lp));
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wp), reinterpret_cast<RECT*>(lp));
      return 0;
    case WM_SIZE:
      if (wp != SIZE_MINIMIZED) PositionControls();
      return 0;
    case WM_GETMINMAXINFO:
      OnMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lp));
      return 0;
    case WM_CONTEXTMENU:
      OnContextMenu(reinterpret_cast<HWND>(wp), lp);
      return 0;
    case WM_DROPFILES:
      OnDrop(DroppedFiles(reinterpret_cast<HDROP>(wp)));
      return 0;
    case kMsgDropped:
      RunPendingDrop();
      return 0;
    case kMsgSearchProgress:
      OnSearchProgress();
      return 0;
    case kMsgSearchEnded:
      OnSearchEnded();
      return 0;
    case WM_COPYDATA:
      return OnCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lp));
    case WM_TIMER:
      if (wp == kQueueTimer) OnQueueQuiet();
      return 0;
    case WM_ENABLE:
      // A modal box or dialog has closed: a drop taken meanwhile runs now.
      if (wp && HasWaitingPaths()) PostMessageW(hwnd_, kMsgDropped, 0, 0);
      return 0;
    case WM_CLOSE:
    case WM_ENDSESSION:
      base::EndProgram();
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return Window::OnMessage(msg, wp, lp);
  }
}

bool MainWindow::OnCreate() {
  dpi_ = base::win::WindowDpi(hwnd_);
  CreateMenuBar();
  if (!CreateControls()) return false;
  AddTip(hwnd_, Control(kPasswordEdit), kPasswordTip, Px(6495));
  PositionControls();
  AcceptDrops(
      hwnd_, [this](std::vector<std::wstring> paths) { OnDrop(std::move(paths)); }, [this] { return TakesDrops(); });
  return true;
}

void MainWindow::CreateMenuBar() {
  base::win::unique_hmenu bar(CreateMenu());
  base::win::unique_hmenu file(CreatePopupMenu());
  base::win::unique_hmenu about(CreatePopupMenu());
  if (!bar || !file || !about) return;
  AppendMenuW(file.get(), MF_STRING, kMenuAddFile, L"&Add File");
  AppendMenuW(file.get(), MF_STRING, kMenuAddFolder, L"Add &Folder");
  AppendMenuW(file.get(), MF_SEPARATOR, 0, nullptr);
  AppendMenuW(file.get(), MF_STRING, kMenuRemove, L"&Remove Selected Items");
  AppendMenuW(file.get(), MF_SEPARATOR, 0, nullptr);
  AppendMenuW(file.get(), MF_STRING, kMenuExit, L"E&xit");
  AppendMenuW(about.get(), MF_STRING, kMenuAboutOmbrelay, L"&About Ombrelay");
  if (AppendMenuW(bar.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(file.get()), L"&File")) file.release();
  if (AppendMenuW(bar.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(about.get()), L"&About")) aboutMenu_ = about.release();
  if (SetMenu(hwnd_, bar.get())) bar.release();
}

bool MainWindow::CreateControls() {
  if (!Window::CreateControls(kControls)) return false;
  // The frames lie under the controls they hold, so they are drawn first.
  SetWindowPos(Control(kAddGroup), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SetWindowPos(Control(kSaveGroup), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  CheckRadioButton(hwnd_, kAddFileOption, kAddFolderOption, kAddFolderOption);
  CheckDlgButton(hwnd_, kSubFoldersBox, BST_CHECKED);

  HWND list = Control(kFileList);
  ListView_SetExtendedListViewStyle(list, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
  SendMessageW(list, LVM_SETCALLBACKMASK, LVIS_STATEIMAGEMASK, 0);
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.pszText = const_cast<wchar_t*>(L"File");
  SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
  column.pszText = const_cast<wchar_t*>(L"Type");
  SendMessageW(list, LVM_INSERTCOLUMNW, 1, reinterpret_cast<LPARAM>(&column));

  SendMessageW(Control(kProgressBar), PBM_SETRANGE32, 0, 100);
  SendMessageW(Control(kProgressBar), PBM_SETPOS, 0, 0);
  SendMessageW(Control(kStatus), SB_SIMPLE, TRUE, 0);
  return true;
}

// The first layout, with the room the window has beyond its first client
// size going to the list (and its "File" column); the bottom row
// and the status bar keep to the bottom edge, the progress bar widens.
void MainWindow::PositionControls() {
  RECT client{};
  GetClientRect(hwnd_, &client);
  const int extraWidth = std::max(0, static_cast<int>(client.right) - Px(kClientWidth));
  const int extraHeight = std::max(0, static_cast<int>(client.bottom) - Px(kClientHeight));
  const int listBottom = SpecOf(kFileList).top + SpecOf(kFileList).height;
  HDWP moves = BeginDeferWindowPos(static_cast<int>(std::size(kControls)));
  for (const base::ControlSpec& p : kControls) {
    int x = Px(p.left), y = Px(p.top), width = Px(p.width), height = Px(p.height);
    if (p.id == kFileList) {
      width += extraWidth;
      height += extraHeight;
    } else if (p.top >= listBottom) {
      y += extraHeight;
      if (p.id == kProgressBar || p.id == kStatus) width += extraWidth;
    }
    if (moves) moves = DeferWindowPos(moves, Control(p.id), nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (moves) EndDeferWindowPos(moves);
  HWND list = Control(kFileList);
  ListView_SetColumnWidth(list, 0, Px(10575) + extraWidth);
  ListView_SetColumnWidth(list, 1, Px(1440));
}

SIZE MainWindow::FirstFrameSize() const {
  return base::FrameSize({Px(kClientWidth), Px(kClientHeight)}, static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE)),
                         static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)), true);
}

// The window is never smaller than its first size.
void MainWindow::OnMinMaxInfo(MINMAXINFO* info) const {
  if (!hwnd_) return;
  const SIZE least = FirstFrameSize();
  info->ptMinTrackSize.x = least.cx;
  info->ptMinTrackSize.y = least.cy;
}

void MainWindow::ShowCentred() {
  const RECT frame = base::CentredRect(FirstFrameSize());
  SetWindowPos(hwnd_, nullptr, frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top, SWP_NOZORDER);
  ShowWindow(hwnd_, SW_SHOW);
  UpdateWindow(hwnd_);
  SetFocus(Control(kAddFolderOption));
}

void MainWindow::ShowPlaced() {
  bool placed = false;
  base::trap::Guard([&] { placed = ST(RestorePlacement(hwnd_)); });
  if (!placed) {
    ShowCentred();
    return;
  }
  UpdateWindow(hwnd_);
  SetFocus(Control(kAddFolderOption));
}

void MainWindow::RememberPlacement() {
  if (hwnd_ && IsWindowVisible(hwnd_)) base::trap::Guard([&] { ST(SavePlacement(hwnd_)); });
}

void MainWindow::OnDpiChanged(UINT dpi, const RECT* suggested) {
  dpi_ = dpi;
  SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
               suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
  RenewFont();
  PositionControls();
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void MainWindow::OnCommand(int id, int code) {
  if (code != BN_CLICKED && code != 0) return;
  if (Refused(id)) {
    MessageBeep(MB_OK);
    return;
  }
  switch (id) {
    case kAddFileOption:
      EnableWindow(Control(kSubFoldersBox), FALSE);
      break;
    case kAddFolderOption:
      EnableWindow(Control(kSubFoldersBox), TRUE);
      break;
    case IDCANCEL:  // Esc
      if (stopSearch_) stopSearch_();
      break;
    case kAddButton:
      if (stopSearch_) {
        stopSearch_();
      } else if (!ClickedWhileBusy()) {
        RunAddCommand(*this, AddFileSelected());
      }
      break;
    case kMenuAddFile:
      RunAddCommand(*this, true);
      break;
    case kMenuAddFolder:
      RunAddCommand(*this, false);
      break;
    case kRemoveButton:
    case kMenuRemove:
      RemoveSelected();
      break;
    case kSelectAllButton:
      SelectAll();
      break;
    case kInvertButton:
      InvertSelection();
      break;
    case kLoadListButton:
      LoadListCommand(*this);
      break;
    case kSaveListButton:
      SaveListCommand(*this);
      break;
    case kMenuAboutOmbrelay:
      about_.Show(hwnd_, icon_);
      break;
    case kMenuExit:
      base::EndProgram();
    default:
      break;
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
  for (int id : kBusyMenuItems) EnableMenuItem(bar, static_cast<UINT>(id), MF_BYCOMMAND | (busy ? MF_GRAYED : MF_ENABLED));
  if (!busy && HasWaitingPaths()) PostMessageW(hwnd_, kMsgDropped, 0, 0);
}

void MainWindow::ClearList() {
  list_.Clear();
  ListView_SetItemState(Control(kFileList), -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  ListChanged();
}

void MainWindow::SetSearchStopper(std::function<void()> stop) {
  stopSearch_ = std::move(stop);
  SetWindowTextW(Control(kAddButton), stopSearch_ ? kStopCaption : kAddCaption);
}

// Right click, Shift+F10 and the context-menu key on the list: commands
// for the highlighted rows. From the keyboard (at = -1) the menu opens at
// the focused row.
void MainWindow::OnContextMenu(HWND from, LPARAM at) {
  HWND list = Control(kFileList);
  if (from != list) return;
  // No menu while an add runs: an open menu would also hold up its search.
  if (busy_) {
    MessageBeep(MB_OK);
    return;
  }
  POINT where{GET_X_LPARAM(at), GET_Y_LPARAM(at)};
  if (at == -1) {
    int row = ListView_GetNextItem(list, -1, LVNI_FOCUSED | LVNI_SELECTED);
    if (row < 0) row = ListView_GetNextItem(list, -1, LVNI_SELECTED);
    RECT r{};
    if (row < 0 || !ListView_GetItemRect(list, row, &r, LVIR_LABEL)) GetClientRect(list, &r);
    where = POINT{r.left + 16, r.top + (r.bottom - r.top) / 2};
    ClientToScreen(list, &where);
  }
  const UINT state = HighlightedRows().empty() ? MF_GRAYED : MF_ENABLED;
  base::win::unique_hmenu menu(CreatePopupMenu());
  if (!menu) return;
  AppendMenuW(menu.get(), MF_STRING | state, kMenuOpenFolder, L"&Open containing folder");
  AppendMenuW(menu.get(), MF_STRING | state, kMenuCopyPath, L"&Copy path");
  AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu.get(), MF_STRING | state, kMenuTick, L"&Tick");
  AppendMenuW(menu.get(), MF_STRING | state, kMenuUntick, L"&Untick");
  AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu.get(), MF_STRING | state, kMenuRemoveRows, L"Remove from &list");
  const int command = static_cast<int>(TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                                      where.x, where.y, 0, hwnd_, nullptr));
  if (command) RunRowCommand(command);
}

std::vector<size_t> MainWindow::HighlightedRows() const {
  std::vector<size_t> rows;
  HWND list = Control(kFileList);
  for (int row = ListView_GetNextItem(list, -1, LVNI_SELECTED); row >= 0;
       row = ListView_GetNextItem(list, row, LVNI_SELECTED)) {
    if (static_cast<size_t>(row) < list_.Count()) rows.push_back(static_cast<size_t>(row));
  }
  return rows;
}

void MainWindow::RunRowCommand(int command) {
  const std::vector<size_t> rows = HighlightedRows();
  if (rows.empty()) return;
  base::trap::Guard([&] {
    switch (command) {
      case kMenuOpenFolder:
        if (!ShowInFolder(base::paths::WithoutSeparator(list_.At(rows.front()).path))) MessageBeep(MB_ICONWARNING);
        break;
      case kMenuCopyPath:
        if (!base::CopyTextToClipboard(hwnd_, list_.PathsText(rows))) MessageBeep(MB_ICONWARNING);
        break;
      case kMenuTick:
      case kMenuUntick:
        ST(list_.SetCheckedRows(rows, command == kMenuTick));
        RepaintRows();
        break;
      case kMenuRemoveRows:
        ST(list_.RemoveRows(rows));
        ListView_SetItemState(Control(kFileList), -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        ListChanged();
        ST(SetStatus(ItemsLoadedText(list_.Count())));
        break;
      default:
        break;
    }
  });
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
  try {
    std::vector<std::wstring> paths = HandedPaths(data);
    if (paths.empty()) return FALSE;
    QueuePaths(std::move(paths));
  } catch (...) {
    return FALSE;
  }
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

LRESULT MainWindow::OnNotify(NMHDR* header) {
  if (header->idFrom != kFileList) return 0;
  switch (header->code) {
    case LVN_GETDISPINFOW:
      OnGetDispInfo(reinterpret_cast<NMLVDISPINFOW*>(header));
      break;
    case NM_CLICK:
    case NM_DBLCLK:
      OnListClick(reinterpret_cast<NMITEMACTIVATE*>(header));
      break;
    case LVN_KEYDOWN:
      OnListKey(reinterpret_cast<NMLVKEYDOWN*>(header));
      break;
    default:
      break;
  }
  return 0;
}

void MainWindow::OnGetDispInfo(NMLVDISPINFOW* info) {
  LVITEMW& item = info->item;
  if (item.iItem < 0 || static_cast<size_t>(item.iItem) >= list_.Count()) return;
  const Entry& entry = list_.At(static_cast<size_t>(item.iItem));
  if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
    const std::wstring& text = item.iSubItem == 0 ? entry.path : item.iSubItem == 1 ? entry.type : std::wstring();
    lstrcpynW(item.pszText, text.c_str(), item.cchTextMax);
  }
  if (item.mask & LVIF_STATE) {
    item.state = (item.state & ~LVIS_STATEIMAGEMASK) | INDEXTOSTATEIMAGEMASK(entry.checked ? 2 : 1);
    item.stateMask |= LVIS_STATEIMAGEMASK;
  }
}

// A click on a row's check box turns that row's mark over.
void MainWindow::OnListClick(NMITEMACTIVATE* item) {
  LVHITTESTINFO hit{};
  hit.pt = item->ptAction;
  int row = ListView_SubItemHitTest(Control(kFileList), &hit);
  if (row < 0 || !(hit.flags & LVHT_ONITEMSTATEICON)) return;
  if (busy_) {
    MessageBeep(MB_OK);
    return;
  }
  ToggleRows(row, row);
}

// Space turns over the marks of the highlighted rows.
void MainWindow::OnListKey(NMLVKEYDOWN* key) {
  if (key->wVKey != VK_SPACE) return;
  if (busy_) {
    MessageBeep(MB_OK);
    return;
  }
  HWND list = Control(kFileList);
  int row = ListView_GetNextItem(list, -1, LVNI_SELECTED);
  if (row < 0) row = ListView_GetNextItem(list, -1, LVNI_FOCUSED);
  while (row >= 0) {
    ToggleRows(row, row);
    row = ListView_GetNextItem(list, row, LVNI_SELECTED);
  }
}

void MainWindow::ToggleRows(int first, int last) {
  for (int row = first; row <= last && static_cast<size_t>(row) < list_.Count(); ++row)
    list_.Toggle(static_cast<size_t>(row));
  ListView_RedrawItems(Control(kFileList), first, last);
}

// Only the rows on screen are drawn again; the list view asks the model for
// them, so this costs the same for ten entries or ten million.
void MainWindow::RepaintRows() { InvalidateRect(Control(kFileList), nullptr, FALSE); }

void MainWindow::ListChanged() {
  HWND list = Control(kFileList);
  ListView_SetItemCountEx(list, static_cast<int>(list_.Count()), LVSICF_NOSCROLL);
  InvalidateRect(list, nullptr, TRUE);
}

void MainWindow::SetStatus(const std::wstring& text) {
  status_ = text;
  SendMessageW(Control(kStatus), SB_SETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(status_.c_str()));
}

std::wstring MainWindow::StatusText() const { return status_; }

void MainWindow::SetProgressMax(long maximum) {
  SendMessageW(Control(kProgressBar), PBM_SETRANGE32, 0, maximum);
}

void MainWindow::SetProgressValue(long value) {
  SendMessageW(Control(kProgressBar), PBM_SETPOS, static_cast<WPARAM>(value), 0);
}

bool MainWindow::AddFileSelected() const { return IsDlgButtonChecked(hwnd_, kAddFileOption) == BST_CHECKED; }

bool MainWindow::SubFoldersChecked() const {
  return IsDlgButtonChecked(hwnd_, kSubFoldersBox) == BST_CHECKED;
}

void MainWindow::SetAboutCaption(const std::wstring& caption) {
  ModifyMenuW(aboutMenu_, kMenuAboutOmbrelay, MF_BYCOMMAND | MF_STRING, kMenuAboutOmbrelay, caption.c_str());
}

void MainWindow::SelectAll() {
  base::trap::Guard([&] {
    ST(list_.SelectAll());
    RepaintRows();
  });
}

void MainWindow::InvertSelection() {
  base::trap::Guard([&] {
    ST(list_.Invert());
    RepaintRows();
  });
}

void MainWindow::RemoveSelected() {
  base::trap::Guard([&] {
    ST(list_.RemoveChecked());
    ListChanged();
    ST(SetStatus(ItemsLoadedText(list_.Count())));
  });
}

}  // namespace app
