// Program entry: the start-up sequence and the message loop.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include "app/command_line.h"
#include "app/commands_win.h"
#include "app/main_window_win.h"
#include "app/one_window_win.h"
#include "app/statement_table.h"
#include "base/error_trap_win.h"
#include "base/paths.h"
#include "base/program_win.h"
#include "base/window_job_win.h"
#include "removal/login_window_win.h"
#include "services/app_constants.h"
#include "services/startup_win.h"
#include "unattended/unattended_run_win.h"
#include "unattended/approval.h"

namespace {

// The window's load step, once the start-up services are through: editing
// mode or the removal run. An error here leaves editing mode.
void ShowStep(app::MainWindow& window, const std::wstring& arguments, bool removalRun) {
  base::trap::Guard([&] {
    CHECK_WIN(SetWindowTextW(window.hwnd(), services::MainTitle().c_str()));
    if (removalRun) {
      ST(removal::ShowLoginWindow(window.Icon(), arguments));
      ShowWindow(window.hwnd(), SW_HIDE);
    } else {
      window.ShowPlaced();
    }
  });
  if (!removalRun) {
    if (!IsWindowVisible(window.hwnd())) window.ShowCentred();
    base::trap::Guard([&] { ST(app::TellBrokenApprovals(window)); });
    window.RunWaitingPaths();
  }
}

// The start-up services (the update check's fetch runs while the message
// loop does), then the show step.
void LoadStep(app::MainWindow& window, const std::wstring& arguments, bool removalRun) {
  const auto setAboutCaption = [&window](const std::wstring& caption) { window.SetAboutCaption(caption); };
  services::StartUp(window.hwnd(), setAboutCaption,
                    [&window, arguments, removalRun] { ShowStep(window, arguments, removalRun); });
}

// The items the command line names that are there now, in their plain
// form. Names of nothing are left out here, so that a start naming only
// such things asks the open window nothing ("Clear" included).
std::vector<std::wstring> ExistingItems(const std::vector<std::wstring>& named) {
  std::vector<std::wstring> items;
  for (const std::wstring& path : named) {
    std::wstring plain = base::paths::ShortForm(path);
    if (GetFileAttributesW(base::paths::Verbatim(plain).c_str()) != INVALID_FILE_ATTRIBUTES) items.push_back(plain);
  }
  return items;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  app::UseStatementTable();
  const std::wstring arguments = app::ArgumentText(GetCommandLineW());
  const bool removalRun = app::IsRemovalRun(arguments);
  // A run started by itself shows no window at all; neither does the
  // uninstaller's step.
  if (removalRun && unattended::IsUnattendedRun(arguments)) return unattended::RunUnattended(arguments);
  if (unattended::IsForgetStarters(arguments)) return unattended::ForgetStarters(arguments);
  const std::vector<std::wstring> paths =
      removalRun ? std::vector<std::wstring>() : ExistingItems(app::PathArguments(arguments));
  // A start with paths gives them to the editing window already open, if
  // any; the lock is held until this start's own window takes paths.
  app::StartLock startLock(!removalRun);
  if (!paths.empty() && app::HandToOpenWindow(paths)) return 0;

  INITCOMMONCONTROLSEX controls{sizeof controls,
                                ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  // The shell objects (folder browser, shortcuts) need a single-threaded apartment.
  OleInitialize(nullptr);
  base::trap::InstallMessageBoxPresenter();

  app::MainWindow& window = app::TheMainWindow();
  if (!window.Create(instance)) {
    MessageBoxW(nullptr, base::trap::SystemMessage(GetLastError()).c_str(), L"Ombrelay", MB_ICONERROR);
    return 1;
  }
  if (!removalRun) {
    window.QueuePaths(paths);
    window.TakePathsFromOtherStarts();
  }
  startLock.Release();
  LoadStep(window, arguments, removalRun);

  // The loop ends once the end is asked for (base::EndProgram: the main
  // window going, the prompt's every way out, a start-up step); returning
  // lets the destructors run and the files close.
  const int exitCode = base::RunMessageLoop();
  // A search or a run stopped by the end ends within milliseconds; it must
  // not outlive the lists it fills.
  base::WindowJob::StopAllAndWait(std::chrono::seconds(5));
  // A window still there (the hidden main window of a removal run or of a
  // start-up that ended) goes before the objects behind it do.
  if (window.hwnd()) DestroyWindow(window.hwnd());
  return exitCode;
}
