// The add command. (Lands with the file dialogs and the folder search.)
#include "app/commands_win.h"
#include "app/main_window_win.h"

namespace app {

void RunAddCommand(MainWindow&, bool) {}

}  // namespace app
