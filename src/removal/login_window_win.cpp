// frmLogin, the password prompt of a removal run. (Lands with the removal run.)
#include "app/commands_win.h"
#include "app/main_window_win.h"

namespace app {

void ShowLoginWindow(MainWindow&, const std::wstring&) {}

}  // namespace app
