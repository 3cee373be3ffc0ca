// The main window's menus: the menu bar, and the list's context menu with
// the commands it runs on the highlighted rows.
#include <windowsx.h>

#include "app/main_window_win.h"
#include "app/shell_actions_win.h"
#include "base/clipboard_win.h"
#include "base/error_trap_win.h"
#include "base/handles_win.h"
#include "base/paths.h"
#include "routines/folder_pattern.h"
#include "routines/variables_win.h"

namespace app {

void MainWindow::CreateMenuBar() {
  base::win::unique_hmenu bar(CreateMenu());
  base::win::unique_hmenu file(CreatePopupMenu());
  base::win::unique_hmenu about(CreatePopupMenu());
  if (!bar || !file || !about) return;
  AppendMenuW(file.get(), MF_STRING, kMenuAddFile, L"&Add File");
  AppendMenuW(file.get(), MF_STRING, kMenuAddFolder, L"Add &Folder");
  AppendMenuW(file.get(), MF_STRING, kMenuAddRule, L"Add R&ule\u2026");
  AppendMenuW(file.get(), MF_STRING, kMenuAddRoutines, L"Add routin&es\u2026");
  AppendMenuW(file.get(), MF_SEPARATOR, 0, nullptr);
  AppendMenuW(file.get(), MF_STRING, kMenuRemove, L"&Remove Selected Items");
  AppendMenuW(file.get(), MF_SEPARATOR, 0, nullptr);
  AppendMenuW(file.get(), MF_STRING | MF_GRAYED, kMenuRunByItself, L"Run by &itself\u2026");
  AppendMenuW(file.get(), MF_STRING, kMenuRunLog, L"Run &log");
  AppendMenuW(file.get(), MF_SEPARATOR, 0, nullptr);
  AppendMenuW(file.get(), MF_STRING, kMenuExit, L"E&xit");
  AppendMenuW(about.get(), MF_STRING, kMenuAboutOmbrelay, L"&About Ombrelay");
  if (AppendMenuW(bar.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(file.get()), L"&File")) file.release();
  if (AppendMenuW(bar.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(about.get()), L"&About"))
    aboutMenu_ = about.release();
  if (SetMenu(hwnd_, bar.get())) bar.release();
}

// Run by itself is open once there is a list file to approve.
void MainWindow::SetListFile(const std::wstring& path, const std::wstring& digest) {
  listPath_ = path;
  listDigest_ = digest;
  EnableMenuItem(GetMenu(hwnd_), kMenuRunByItself, MF_BYCOMMAND | (path.empty() ? MF_GRAYED : MF_ENABLED));
}

void MainWindow::SetAboutCaption(const std::wstring& caption) {
  ModifyMenuW(aboutMenu_, kMenuAboutOmbrelay, MF_BYCOMMAND | MF_STRING, kMenuAboutOmbrelay, caption.c_str());
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
  const int command = static_cast<int>(
      TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, where.x, where.y, 0, hwnd_, nullptr));
  if (command) RunRowCommand(command);
}

// What "Open containing folder" shows of a row: its path; of a routine,
// the folder it cleans (its name is no path).
std::wstring MainWindow::RowFolder(size_t row) const {
  const Entry& entry = list_.At(row);
  const listfile::Routine* routine = entry.parsed.AsRoutine();
  if (!routine) return entry.path;
  const routines::SystemVariables system;
  return routines::StartFolder(*routine, system.Lookup());
}

void MainWindow::RunRowCommand(int command) {
  const std::vector<size_t> rows = HighlightedRows();
  if (rows.empty()) return;
  base::trap::Guard([&] {
    switch (command) {
      case kMenuOpenFolder: {
        const std::wstring folder = RowFolder(rows.front());
        if (folder.empty() || !ShowInFolder(base::paths::WithoutSeparator(folder))) MessageBeep(MB_ICONWARNING);
        break;
      }
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
      default: break;
    }
  });
}

}  // namespace app
