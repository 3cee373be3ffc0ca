// Start-up services. So far: the application constants and the About
// item's caption; the update check and the disclaimer come with the
// registry store and the HTTP fetcher.
#include "app/commands_win.h"
#include "app/main_window_win.h"
#include "services/app_constants.h"
#include "services/error_trap_win.h"

namespace app {

void RunStartUp(MainWindow& window) {
  trap::Guard([&] {
    ST(services::SetAppConstants());
    ST(window.SetAboutCaption(L"About " + services::Appname));
  });
}

}  // namespace app
