// Program entry: the start-up sequence and the message loop.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include "app/command_line.h"
#include "app/main_window_win.h"
#include "base/program_win.h"
#include "removal/login_window_win.h"
#include "search/found_lists.h"
#include "services/app_constants.h"
#include "services/error_trap_win.h"
#include "services/startup_win.h"

namespace {

// The window's load step: start-up services, then editing mode or removal run.
void LoadStep(app::MainWindow& window) {
  trap::Guard([&] {
    ST(search::ResetFoundLists());
    const auto setAboutCaption = [&](const std::wstring& caption) { window.SetAboutCaption(caption); };
    ST(services::StartUp(window.Handle(), setAboutCaption));
    std::wstring arguments = ST(app::ArgumentText(GetCommandLineW()));
    CHECK_WIN(SetWindowTextW(window.Handle(), services::MainTitle().c_str()));
    if (app::IsRemovalRun(arguments)) {
      ST(removal::ShowLoginWindow(window.Icon(), arguments));
      ShowWindow(window.Handle(), SW_HIDE);
    } else {
      window.ShowPlaced();
    }
  });
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES |
                                                     ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  // The shell objects (folder browser, shortcuts) need a single-threaded apartment.
  OleInitialize(nullptr);
  trap::InstallMessageBoxPresenter();

  app::MainWindow& window = app::TheMainWindow();
  if (!window.Create(instance)) {
    MessageBoxW(nullptr, trap::SystemMessage(GetLastError()).c_str(), L"Ombrelay", MB_ICONERROR);
    return 1;
  }
  LoadStep(window);
  if (!IsWindowVisible(window.Handle()) && !app::IsRemovalRun(app::ArgumentText(GetCommandLineW())))
    window.ShowCentred();  // an error in the load step leaves the program in editing mode

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (base::DispatchDialogMessage(&msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  base::EndProgram();
}
