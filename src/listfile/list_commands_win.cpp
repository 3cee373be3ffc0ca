// "Save List" and "Load List". (Land with the delete-list file.)
#include "app/commands_win.h"
#include "app/main_window_win.h"

namespace app {

void SaveListCommand(MainWindow&) {}
void LoadListCommand(MainWindow&) {}

}  // namespace app
