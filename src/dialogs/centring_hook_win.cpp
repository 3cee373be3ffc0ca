// The one-shot hook that centres a file dialog when it is first activated.
#include "dialogs/centring_hook_win.h"

#include "base/error_trap_win.h"
#include "base/handles_win.h"
#include "dialogs/centring.h"
#include "dialogs/file_dialogs_win.h"

namespace dialogs {
namespace {

HWND g_owner = nullptr;
base::win::unique_hhook g_hook;

Rect ToRect(const RECT& r) { return Rect{r.left, r.top, r.right, r.bottom}; }

// Moves `window` to `corner`, keeping its size and Z order, without activating it.
void MoveTo(HWND window, const Point& corner) {
  SetWindowPos(window, nullptr, static_cast<int>(corner.x), static_cast<int>(corner.y), 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

Point ScreenCentreCorner(const RECT& window) {
  return CentreOnScreen(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), ToRect(window));
}

// Centres the activated window on the owner; an owner that is gone (or was
// never given) leaves the screen as the only sensible reference.
void CentreOnOwner(HWND window) {
  RECT owner{}, rect{};
  GetWindowRect(window, &rect);
  if (g_owner && GetWindowRect(g_owner, &owner)) {
    MoveTo(window, CentreOn(ToRect(owner), ToRect(rect)));
  } else {
    MoveTo(window, ScreenCentreCorner(rect));
  }
}

void CentreOnPrimaryScreen(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  MoveTo(window, ScreenCentreCorner(rect));
}

// Shared body of both hook procedures: act once, at the first activation.
LRESULT OnCbt(int code, WPARAM wp, void (*centre)(HWND)) {
  if (code != HCBT_ACTIVATE) return 0;
  base::trap::Guard([&] {
    ST(centre(reinterpret_cast<HWND>(wp)));
    ST(g_hook.reset());
  });
  return 0;
}

}  // namespace

LRESULT CALLBACK CentreOnOwnerHook(int code, WPARAM wp, LPARAM) {
  return OnCbt(code, wp, CentreOnOwner);
}

LRESULT CALLBACK CentreOnScreenHook(int code, WPARAM wp, LPARAM) {
  return OnCbt(code, wp, CentreOnPrimaryScreen);
}

bool InstallCentringHook(HWND owner, bool onOwner) {
  g_owner = owner;
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner, GWLP_HINSTANCE));
  g_hook.reset(SetWindowsHookExW(WH_CBT, onOwner ? CentreOnOwnerHook : CentreOnScreenHook,
                                instance, GetCurrentThreadId()));
  return static_cast<bool>(g_hook);
}

void RemoveCentringHook() { g_hook.reset(); }

}  // namespace dialogs
