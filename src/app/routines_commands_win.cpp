// "Add routines...": the routines file (remembered, or asked for with the
// open dialog the first time), the routines window over it (or, with none
// chosen, over no file, to fetch one), and the chosen routines put in the
// list, each once.
#include <windows.h>

#include <commdlg.h>

#include <vector>

#include "app/commands_win.h"
#include "app/delete_list.h"
#include "app/main_window_win.h"
#include "app/routines_update_win.h"
#include "app/routines_window_win.h"
#include "base/error_trap_win.h"
#include "base/paths.h"
#include "base/texts_win.h"
#include "dialogs/file_dialogs_win.h"

namespace app {
namespace {

RoutinesWindow& TheRoutinesWindow() {
  static RoutinesWindow window;
  return window;
}

std::wstring AskRoutinesFile(HWND owner) {
  std::wstring chosen;
  base::trap::Guard([&] {
    dialogs::FileDialogSettings settings;
    settings.filter = std::wstring(L"Routines files (*.ini)") + L'\0' + L"*.ini" + L'\0' + dialogs::AllFilesFilter();
    settings.title = L"Find the routines file (winapp2.ini) to open";
    const std::wstring remembered = RememberedRoutinesFile();
    if (!remembered.empty()) settings.initialFolder = base::paths::WithSeparator(base::paths::ParentOf(remembered));
    const dialogs::FileDialogResult answer = ST(dialogs::ShowOpen(owner, settings));
    if (answer.cancelled || answer.count < 1 || answer.names.size() < 2) return;
    chosen = base::paths::JoinPath(answer.folder, answer.names[1]);
  });
  return chosen;
}

// "2 routines added.", and those already in the list.
std::wstring AddedText(size_t added, size_t already) {
  const base::text::NumberStyle style = base::text::UserNumberStyle();
  std::wstring text = base::text::Counted(added, L"routine added.", L"routines added.", style);
  if (already != 0) text += L" " + base::text::Counted(already, L"was", L"were", style) + L" in the list already.";
  return text;
}

}  // namespace

void RunRoutinesCommand(MainWindow& window) {
  if (window.Busy()) return (void)MessageBeep(MB_OK);
  // The first time the open dialog asks for the file; cancelled, the window
  // still opens, where the newest file can be fetched.
  std::wstring path = RememberedRoutinesFile();
  if (path.empty()) path = AskRoutinesFile(window.hwnd());
  const auto add = [&window](const std::vector<listfile::Routine>& routines) {
    base::trap::Guard([&] {
      size_t added = 0;
      for (const listfile::Routine& routine : routines) {
        if (ST(window.List().HasRoutine(routine.name))) continue;
        ST(window.List().AppendRoutine(routine));
        ++added;
      }
      window.ListChanged();
      ST(window.SetStatus(AddedText(added, routines.size() - added)));
    });
  };
  if (!TheRoutinesWindow().Open(window.hwnd(), window.Icon(), path, window.ListPath(), AskRoutinesFile, add))
    MessageBeep(MB_OK);
}

}  // namespace app
