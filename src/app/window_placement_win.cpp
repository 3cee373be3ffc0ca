// Remembered placement through GetWindowPlacement / SetWindowPlacement; the
// rectangle is checked against the monitors attached now.
#include "app/window_placement_win.h"

#include <vector>

#include "app/window_placement.h"
#include "services/registry_win.h"

namespace app {
namespace {

const wchar_t kValueName[] = L"WindowPlacement";

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM out) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoW(monitor, &info)) {
    const RECT& r = info.rcMonitor;
    reinterpret_cast<std::vector<ScreenRect>*>(out)->push_back(ScreenRect{r.left, r.top, r.right, r.bottom});
  }
  return TRUE;
}

std::vector<ScreenRect> Monitors() {
  std::vector<ScreenRect> monitors;
  EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&monitors));
  return monitors;
}

// rcNormalPosition is in work-area coordinates of the primary monitor; the
// monitors are in screen coordinates.
POINT WorkAreaOrigin() {
  RECT work{};
  if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) return POINT{0, 0};
  return POINT{work.left, work.top};
}

}  // namespace

void SavePlacement(HWND hwnd) {
  WINDOWPLACEMENT wp{};
  wp.length = sizeof wp;
  if (!GetWindowPlacement(hwnd, &wp)) return;
  SavedPlacement saved;
  const RECT& r = wp.rcNormalPosition;
  saved.normal = ScreenRect{r.left, r.top, r.right, r.bottom};
  saved.maximized =
      wp.showCmd == SW_SHOWMAXIMIZED || (wp.showCmd == SW_SHOWMINIMIZED && (wp.flags & WPF_RESTORETOMAXIMIZED));
  // A place not remembered only opens the next window centred: untold.
  services::SaveSetting(kValueName, FormatPlacement(saved));
}

bool RestorePlacement(HWND hwnd) {
  const std::optional<SavedPlacement> saved = ParsePlacement(services::GetSetting(kValueName));
  if (!saved) return false;
  const POINT origin = WorkAreaOrigin();
  ScreenRect onScreen = saved->normal;
  onScreen.left += origin.x;
  onScreen.right += origin.x;
  onScreen.top += origin.y;
  onScreen.bottom += origin.y;
  if (!CaptionReachable(onScreen, Monitors())) return false;
  WINDOWPLACEMENT wp{};
  wp.length = sizeof wp;
  wp.showCmd = saved->maximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
  wp.rcNormalPosition = RECT{saved->normal.left, saved->normal.top, saved->normal.right, saved->normal.bottom};
  wp.ptMinPosition = POINT{-1, -1};
  wp.ptMaxPosition = POINT{-1, -1};
  return SetWindowPlacement(hwnd, &wp) != FALSE;
}

}  // namespace app
