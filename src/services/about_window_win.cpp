// frmAbout. (Lands with the start-up services.)
#include "app/commands_win.h"
#include "app/main_window_win.h"

namespace app {

void ShowAboutWindow(MainWindow&) {}

}  // namespace app
