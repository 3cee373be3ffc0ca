// The main window's controls: their table in twips, their set-up, the
// layout that gives the list the room beyond the first size, DPI changes,
// where the window is shown, and the texts and states the commands set.
#include <commctrl.h>

#include <algorithm>

#include "app/main_window_win.h"
#include "app/window_placement_win.h"
#include "base/error_trap_win.h"

namespace app {
namespace {

constexpr int kClientWidth = 13530;
constexpr int kClientHeight = 7905;

const wchar_t kAddCaption[] = L"A&dd";
// Esc stops a search too, so the button needs no access key of its own.
const wchar_t kStopCaption[] = L"Stop";

// Creation order is the tab order. Positions in twips for the first client
// size; the frames' contents are placed by the frames' origins (Frame1 at
// 120,120, Frame2 at 3960,120).
const base::ControlSpec kControls[] = {
    {kAddGroup, L"BUTTON", L"Add files:", BS_GROUPBOX, 0, 120, 120, 3735, 1695},
    {kAddFileOption, L"BUTTON", L"Add F&ile", BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP, 0, 360, 360, 1620, 285},
    {kAddFolderOption, L"BUTTON", L"Add F&older", BS_AUTORADIOBUTTON, 0, 360, 645, 1620, 285},
    {kAddRuleOption, L"BUTTON", L"Add R&ule\u2026", BS_AUTORADIOBUTTON, 0, 360, 930, 1620, 285},
    {kAddRoutinesOption, L"BUTTON", L"Add routin&es\u2026", BS_AUTORADIOBUTTON, 0, 360, 1215, 1620, 285},
    {kSubFoldersBox, L"BUTTON", L"Add &subfolders", BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, 0, 480, 1500, 1455, 285},
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

}  // namespace

base::ControlTable MainWindow::Controls() { return kControls; }

// What the table alone does not say: the frames' order, the first choices,
// the list's columns, the progress bar's range, the status bar and the
// password's tip.
void MainWindow::SetUpControls() {
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
  AddTip(hwnd_, Control(kPasswordEdit), kPasswordTip, Px(6495));
}

// The first layout, with the room the window has beyond its first client
// size going to the list (and its "File" column); the bottom row
// and the status bar keep to the bottom edge, the progress bar widens.
void MainWindow::Layout() {
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
    if (moves)
      moves = DeferWindowPos(moves, Control(p.id), nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (moves) EndDeferWindowPos(moves);
  HWND list = Control(kFileList);
  ListView_SetColumnWidth(list, 0, Px(10575) + extraWidth);
  ListView_SetColumnWidth(list, 1, Px(1440));
}

SIZE MainWindow::FirstClientSize() { return SIZE{kClientWidth, kClientHeight}; }

void MainWindow::ShowCentred() {
  MoveCentred();
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

void MainWindow::ClearList() {
  list_.Clear();
  ListView_SetItemState(Control(kFileList), -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  ListChanged();
}

void MainWindow::SetSearchStopper(std::function<void()> stop) {
  stopSearch_ = std::move(stop);
  SetWindowTextW(Control(kAddButton), stopSearch_ ? kStopCaption : kAddCaption);
}

void MainWindow::SetStatus(const std::wstring& text) {
  status_ = text;
  SendMessageW(Control(kStatus), SB_SETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(status_.c_str()));
}

std::wstring MainWindow::StatusText() const { return status_; }

void MainWindow::SetProgressMax(long maximum) { SendMessageW(Control(kProgressBar), PBM_SETRANGE32, 0, maximum); }

void MainWindow::SetProgressValue(long value) {
  SendMessageW(Control(kProgressBar), PBM_SETPOS, static_cast<WPARAM>(value), 0);
}

bool MainWindow::AddFileSelected() const { return IsDlgButtonChecked(hwnd_, kAddFileOption) == BST_CHECKED; }

bool MainWindow::AddRuleSelected() const { return IsDlgButtonChecked(hwnd_, kAddRuleOption) == BST_CHECKED; }

bool MainWindow::AddRoutinesSelected() const { return IsDlgButtonChecked(hwnd_, kAddRoutinesOption) == BST_CHECKED; }

bool MainWindow::SubFoldersChecked() const { return IsDlgButtonChecked(hwnd_, kSubFoldersBox) == BST_CHECKED; }

}  // namespace app
