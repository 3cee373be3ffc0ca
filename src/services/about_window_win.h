// The About window: the application's name, version and purpose, a warning and a
// button that starts the system information tool. Not modal.
#pragma once
#include <windows.h>

#include <string>

#include "base/handles_win.h"
#include "base/window_win.h"

namespace services {

// Control ids of the About window (OK is IDOK so that Enter presses it).
enum AboutControlId : int {
  kAboutOk = IDOK,
  kAboutSystemInfo = 302,
  kAboutWebsite = 303,
  kAboutUpperRule = 304,
  kAboutDescription = 305,
  kAboutTitle = 306,
  kAboutLowerRule = 307,
  kAboutVersion = 308,
  kAboutDisclaimer = 309,
};

// One window at a time: OK closes it and the next Open creates it afresh.
class AboutWindow : public base::Window {
 public:
  // Shows the window, creating it first when it is not open; owner is the
  // main window, whose icon it shows.
  void Open(HWND owner, HICON icon);

 private:
  bool OnCreate() override;
  void OnCommand(int id, int code) override;
  void Close() override;
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void SetTitleFont();
  void Layout() override;

  base::win::unique_hfont titleFont_;
};

// Finds the system information tool through the registry and starts it, or
// says that it is unavailable.
void StartSystemInfo(HWND owner);

}  // namespace services
