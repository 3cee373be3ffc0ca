// The main window's list view: a virtual list over the delete list, which
// asks the model for the rows on screen, its clicks and keys, and the
// editing commands that change the ticks or the rows.
#include <commctrl.h>

#include "app/commands_win.h"
#include "app/main_window_win.h"
#include "base/error_trap_win.h"

namespace app {

std::vector<size_t> MainWindow::HighlightedRows() const {
  std::vector<size_t> rows;
  HWND list = Control(kFileList);
  for (int row = ListView_GetNextItem(list, -1, LVNI_SELECTED); row >= 0;
       row = ListView_GetNextItem(list, row, LVNI_SELECTED)) {
    if (static_cast<size_t>(row) < list_.Count()) rows.push_back(static_cast<size_t>(row));
  }
  return rows;
}

LRESULT MainWindow::OnNotify(NMHDR* header) {
  if (header->idFrom != kFileList) return 0;
  switch (header->code) {
    case LVN_GETDISPINFOW: OnGetDispInfo(reinterpret_cast<NMLVDISPINFOW*>(header)); break;
    case NM_CLICK: OnListClick(reinterpret_cast<NMITEMACTIVATE*>(header)); break;
    case NM_DBLCLK: OnListDoubleClick(reinterpret_cast<NMITEMACTIVATE*>(header)); break;
    case LVN_KEYDOWN: OnListKey(reinterpret_cast<NMLVKEYDOWN*>(header)); break;
    default: break;
  }
  return 0;
}

void MainWindow::OnGetDispInfo(NMLVDISPINFOW* info) {
  LVITEMW& item = info->item;
  if (item.iItem < 0 || static_cast<size_t>(item.iItem) >= list_.Count()) return;
  const Entry& entry = list_.At(static_cast<size_t>(item.iItem));
  if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
    if (item.iSubItem == 0 &&
        (entry.kind == listfile::RecordKind::Rule || entry.kind == listfile::RecordKind::Routine)) {
      lstrcpynW(item.pszText, list_.ShownPath(static_cast<size_t>(item.iItem)).c_str(), item.cchTextMax);
    } else {
      const std::wstring& text = item.iSubItem == 0 ? entry.path : item.iSubItem == 1 ? entry.type : std::wstring();
      lstrcpynW(item.pszText, text.c_str(), item.cchTextMax);
    }
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

// A double click on a row's check box turns its mark over twice, as two
// clicks; on the rest of a rule's row it opens the rule.
void MainWindow::OnListDoubleClick(NMITEMACTIVATE* item) {
  LVHITTESTINFO hit{};
  hit.pt = item->ptAction;
  const int row = ListView_SubItemHitTest(Control(kFileList), &hit);
  if (row >= 0 && !(hit.flags & LVHT_ONITEMSTATEICON)) return EditRuleCommand(*this, static_cast<size_t>(row));
  OnListClick(item);
}

// Space turns over the marks of the highlighted rows; Enter opens the
// focused row's rule.
void MainWindow::OnListKey(NMLVKEYDOWN* key) {
  if (key->wVKey == VK_RETURN) {
    const int row = ListView_GetNextItem(Control(kFileList), -1, LVNI_FOCUSED);
    if (row >= 0) EditRuleCommand(*this, static_cast<size_t>(row));
    return;
  }
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
