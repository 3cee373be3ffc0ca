// The open and save file dialog wrappers.
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

// The answer the last dialog of the run gave, offered by the next open
// dialog that is given no initial name. Dialogs run on the window's thread.
std::wstring& LastAnswer() {
  static std::wstring answer;
  return answer;
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

// What one dialog wrote back besides its answer: where its first name
// starts, and the name alone.
struct Written {
  std::size_t nameOffset = 0;
  std::wstring name;
};

// Shows one dialog with `file` as its file buffer, in the form every version
// of the system dialog accepts, centred as asked. True when the user
// accepted.
bool RunDialog(HWND owner, const FileDialogSettings& settings, DWORD flags, bool onOwner, std::wstring& file,
               DialogFunction show, Written& written) {
  std::wstring title(kTitleChars, L'\0');
  const std::wstring filter = TerminatedFilter(settings.filter);
  OPENFILENAMEW ofn{};
  ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = settings.filter.empty() ? nullptr : filter.c_str();
  ofn.lpstrFile = &file[0];
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrFileTitle = &title[0];
  ofn.nMaxFileTitle = static_cast<DWORD>(title.size());
  ofn.lpstrInitialDir = settings.initialFolder.empty() ? nullptr : settings.initialFolder.c_str();
  ofn.lpstrTitle = settings.title.empty() ? nullptr : settings.title.c_str();
  ofn.Flags = flags;
  BOOL accepted = FALSE;
  DWORD failure = 0;
  {
    // Not centred is better than not shown, so a refused hook is not an error.
    const CentringHook centring(owner, onOwner);
    accepted = show(&ofn);
    failure = accepted ? 0 : CommDlgExtendedError();
  }
  written.nameOffset = ofn.nFileOffset;
  written.name = FirstText(title);
  LastAnswer() = PackedAnswer(file);
  if (failure != 0) RaiseDialogFailure(failure);
  return accepted != FALSE;
}

FileDialogResult Show(HWND owner, const FileDialogSettings& settings, DWORD flags, bool onOwner,
                      const std::wstring& initialName, DialogFunction show, AnswerReader read) {
  FileDialogResult result;
  base::trap::Guard([&] {
    std::wstring file;
    ST(file = FileBuffer(initialName, kFileChars));
    Written written;
    bool accepted = false;
    ST(accepted = RunDialog(owner, settings, flags, onOwner, file, show, written));
    if (accepted) {
      ST(result = read(file, written.nameOffset, written.name));
    }
  });
  return result;
}

}  // namespace

std::wstring AllFilesFilter() { return std::wstring(L"All Files (*.*)\0*.*", 19); }

FileDialogResult ShowOpen(HWND owner, const FileDialogSettings& settings, bool onOwner) {
  const std::wstring initialName = settings.initialName.empty() ? FirstText(LastAnswer()) : settings.initialName;
  return Show(owner, settings, OFS_FILE_OPEN_FLAGS, onOwner, initialName, GetOpenFileNameW, ReadAnswer);
}

FileDialogResult ShowSave(HWND owner, const FileDialogSettings& settings, bool onOwner) {
  const DWORD flags = settings.flags ? settings.flags : OFS_FILE_SAVE_FLAGS;
  return Show(owner, settings, flags, onOwner, std::wstring(), GetSaveFileNameW, ReadSaveAnswer);
}

}  // namespace dialogs
