// The program's open and save file dialogs: one program-wide settings record
// that callers fill, two wrappers that show the system dialog centred on its
// owner and hand back the chosen folder and names, and the two one-shot
// centring hook procedures the wrappers install.
#pragma once
#include <windows.h>

#include <commdlg.h>

#include <string>
#include <vector>

#include "dialogs/dialog_answer.h"  // FileDialogResult

namespace dialogs {

// Dialog options: explorer style, multiple selection, no read-only box,
// offer to create a missing name, return a shortcut's own path.
constexpr DWORD OFS_FILE_OPEN_FLAGS = OFN_LONGNAMES | OFN_NODEREFERENCELINKS | OFN_EXPLORER | OFN_CREATEPROMPT |
                                      OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY;
// Explorer style with an overwrite prompt and no read-only box.
constexpr DWORD OFS_FILE_SAVE_FLAGS = OFN_LONGNAMES | OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY;

// The settings record shared by every dialog of the run.  Callers write
// sFilter, sDlgTitle, sInitDir and flags (and may put an initial name into
// sFile before ShowOpen); the wrappers fill in the rest.  What nobody sets
// again carries over to the next call: ShowOpen offers the previous answer
// (up to its first NUL) as its initial file name, and flags stay as the last
// wrapper left them.
struct FileDialog {
  DWORD nStructSize = 0;
  HWND hwndOwner = nullptr;
  // Pairs of description and pattern separated by NULs, e.g. AllFilesFilter().
  std::wstring sFilter;
  // In: the initial file name.  Out: the answer as the dialog packed it
  // ("C:\dir\a.txt", or "C:\dir" NUL "a.txt" NUL "b.txt"), without padding.
  std::wstring sFile;
  DWORD nFileSize = 0;  // characters in the buffer the dialog was given
  // Out: the chosen name without its folder; blank after a multiple selection.
  std::wstring sFileTitle;
  DWORD nTitleSize = 0;
  std::wstring sInitDir;   // folder the dialog opens in
  std::wstring sDlgTitle;  // caption of the dialog window
  DWORD flags = 0;
  int nFileOffset = 0;   // characters of sFile before the (first) name
  DWORD nFilterIndex = 0;  // written back by the dialog
};

// The program-wide record.
FileDialog& TheFileDialog();

// "All Files (*.*)" NUL "*.*": the filter every dialog of the program uses.
std::wstring AllFilesFilter();

// Shows the open dialog owned by hWnd, centred on it (on the screen when
// centerForm is false).  Always runs with OFS_FILE_OPEN_FLAGS, so several
// files may come back.
FileDialogResult ShowOpen(HWND hWnd, bool centerForm = true);

// Shows the save dialog owned by hWnd, centred like ShowOpen.  Starts from an
// empty file name; uses the record's flags, or OFS_FILE_SAVE_FLAGS when they
// are 0.  At most one name comes back.
FileDialogResult ShowSave(HWND hWnd, bool centerForm = true);

// One-shot CBT hook procedures: at the first window activation in the thread
// they centre that window on the dialog's owner (or on the screen) and remove
// themselves.  Every other notification passes untouched.
LRESULT CALLBACK WinProcCenterForm(int lMsg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK WinProcCenterScreen(int lMsg, WPARAM wParam, LPARAM lParam);

}  // namespace dialogs
