// The program's open and save file dialogs: two wrappers that show the
// system dialog as the caller's settings ask, centred on its owner, and hand
// back the chosen folder and names, and the two one-shot centring hook
// procedures the wrappers install.
#pragma once
#include <windows.h>

#include <commdlg.h>

#include <string>
#include <vector>

#include "dialogs/dialog_answer.h"  // FileDialogResult

namespace dialogs {

// Dialog options: explorer style, multiple selection, no read-only box,
// offer to create a missing name, return a shortcut's own path.
constexpr DWORD OFS_FILE_OPEN_FLAGS =
    OFN_LONGNAMES | OFN_NODEREFERENCELINKS | OFN_EXPLORER | OFN_CREATEPROMPT | OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY;
// Explorer style with an overwrite prompt and no read-only box.
constexpr DWORD OFS_FILE_SAVE_FLAGS = OFN_LONGNAMES | OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY;

// What a caller asks of one dialog.
struct FileDialogSettings {
  // Pairs of description and pattern separated by NULs, e.g. AllFilesFilter().
  std::wstring filter;
  std::wstring title;          // caption of the dialog window
  std::wstring initialFolder;  // folder the dialog opens in
  // The open dialog's initial file name; none offers the last answer a
  // dialog of the run gave (up to its first NUL).
  std::wstring initialName;
  DWORD flags = 0;  // the save dialog's; 0 for OFS_FILE_SAVE_FLAGS
};

// "All Files (*.*)" NUL "*.*": the filter every dialog of the program uses.
std::wstring AllFilesFilter();

// Shows the open dialog owned by `owner`, centred on it (on the screen when
// onOwner is false).  Always runs with OFS_FILE_OPEN_FLAGS, so several
// files may come back.
FileDialogResult ShowOpen(HWND owner, const FileDialogSettings& settings, bool onOwner = true);

// Shows the save dialog owned by `owner`, centred like ShowOpen.  Starts from
// an empty file name.  At most one name comes back.
FileDialogResult ShowSave(HWND owner, const FileDialogSettings& settings, bool onOwner = true);

}  // namespace dialogs
