// The open and save file dialog wrappers and the program-wide dialog record.
#include "dialogs/file_dialogs_win.h"

#include <commdlg.h>

#include "base/error_trap_win.h"
#include "dialogs/centring_hook_win.h"

namespace dialogs {
namespace {

// Room for the answer: a multiple selection of tens of thousands of names.
// Generous on purpose: some versions of the dialog do not stop at the end of
// a buffer that is too small.
constexpr std::size_t kFileChars = 1024 * 1024;
constexpr std::size_t kTitleChars = 2048;

using DialogFunction = BOOL(WINAPI*)(LPOPENFILENAMEW);
using AnswerReader = FileDialogResult (*)(const std::wstring&, std::size_t, const std::wstring&);

// The dialog record in the form every version of the system dialog accepts.
OPENFILENAMEW MakeRecord(const FileDialog& fd, const std::wstring& filter, std::wstring& file,
                         std::wstring& title) {
  OPENFILENAMEW ofn{};
  ofn.lStructSize = fd.nStructSize;
  ofn.hwndOwner = fd.hwndOwner;
  ofn.lpstrFilter = fd.sFilter.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = fd.nFilterIndex;  // the last dialog's choice
  ofn.lpstrFile = &file[0];
  ofn.nMaxFile = fd.nFileSize;
  ofn.lpstrFileTitle = &title[0];
  ofn.nMaxFileTitle = fd.nTitleSize;
  ofn.lpstrInitialDir = fd.sInitDir.empty() ? nullptr : fd.sInitDir.c_str();
  ofn.lpstrTitle = fd.sDlgTitle.empty() ? nullptr : fd.sDlgTitle.c_str();
  ofn.Flags = fd.flags;
  return ofn;
}

// The filter list must end with two NULs whatever the caller wrote.
std::wstring TerminatedFilter(const std::wstring& filter) {
  std::wstring list = filter;
  while (!list.empty() && list.back() == L'\0') list.pop_back();
  return list + std::wstring(2, L'\0');
}

// A dialog that closed for another reason than the user's cancel.
[[noreturn]] void RaiseDialogFailure(DWORD code) {
  if (code == FNERR_BUFFERTOOSMALL) {
    RAISE(static_cast<long>(code), L"Too many files were selected at once");
  }
  RAISE(static_cast<long>(code), L"The file dialog could not be shown (error " + std::to_wstring(code) + L")");
}

// Shows one dialog with `file` as its file buffer, centred as asked, and
// copies what it wrote back into the record.  True when the user accepted.
bool RunDialog(FileDialog& fd, HWND hWnd, bool centerForm, std::wstring& file, DialogFunction show) {
  fd.nStructSize = OPENFILENAME_SIZE_VERSION_400W;
  fd.hwndOwner = hWnd;
  fd.nFileSize = static_cast<DWORD>(file.size());
  fd.nTitleSize = static_cast<DWORD>(kTitleChars);
  std::wstring title(kTitleChars, L'\0');
  const std::wstring filter = TerminatedFilter(fd.sFilter);
  OPENFILENAMEW ofn = MakeRecord(fd, filter, file, title);
  // Not centred is better than not shown, so a refused hook is not an error.
  InstallCentringHook(hWnd, centerForm);
  const BOOL accepted = show(&ofn);
  const DWORD failure = accepted ? 0 : CommDlgExtendedError();
  RemoveCentringHook();
  fd.nFileOffset = ofn.nFileOffset;
  fd.nFilterIndex = ofn.nFilterIndex;
  fd.sFileTitle = FirstText(title);
  fd.sFile = PackedAnswer(file);
  if (failure != 0) RaiseDialogFailure(failure);
  return accepted != FALSE;
}

FileDialogResult Show(HWND hWnd, bool centerForm, const std::wstring& initialName, DialogFunction show,
                      AnswerReader read) {
  FileDialogResult result;
  base::trap::Guard([&] {
    FileDialog& fd = TheFileDialog();
    std::wstring file;
    ST(file = FileBuffer(initialName, kFileChars));
    bool accepted = false;
    ST(accepted = RunDialog(fd, hWnd, centerForm, file, show));
    if (accepted) {
      ST(result = read(file, static_cast<std::size_t>(fd.nFileOffset), fd.sFileTitle));
    }
  });
  return result;
}

}  // namespace

FileDialog& TheFileDialog() {
  static FileDialog record;
  return record;
}

std::wstring AllFilesFilter() { return std::wstring(L"All Files (*.*)\0*.*", 19); }

FileDialogResult ShowOpen(HWND hWnd, bool centerForm) {
  FileDialog& fd = TheFileDialog();
  fd.flags = OFS_FILE_OPEN_FLAGS;
  return Show(hWnd, centerForm, FirstText(fd.sFile), GetOpenFileNameW, ReadAnswer);
}

FileDialogResult ShowSave(HWND hWnd, bool centerForm) {
  FileDialog& fd = TheFileDialog();
  if (fd.flags == 0) fd.flags = OFS_FILE_SAVE_FLAGS;
  return Show(hWnd, centerForm, std::wstring(), GetSaveFileNameW, ReadSaveAnswer);
}

}  // namespace dialogs
