// The one-shot hook that centres a file dialog when it is first activated.
#include "dialogs/centring_hook_win.h"

#include "base/error_trap_win.h"
#include "dialogs/centring.h"

namespace dialogs {
namespace {

// A hook procedure is handed no data of its own, so it finds its object
// here. The hook is the thread's (SetWindowsHookEx with the thread's id),
// so the pointer is the thread's too.
thread_local CentringHook* t_current = nullptr;

Rect ToRect(const RECT& r) { return Rect{r.left, r.top, r.right, r.bottom}; }

// Moves `window` to `corner`, keeping its size and Z order, without activating it.
void MoveTo(HWND window, const Point& corner) {
  SetWindowPos(window, nullptr, static_cast<int>(corner.x), static_cast<int>(corner.y), 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

Point ScreenCentreCorner(const RECT& window) {
  return CentreOnScreen(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), ToRect(window));
}

}  // namespace

CentringHook::CentringHook(HWND owner, bool onOwner) : owner_(owner), onOwner_(onOwner), previous_(t_current) {
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner, GWLP_HINSTANCE));
  hook_.reset(SetWindowsHookExW(WH_CBT, Procedure, instance, GetCurrentThreadId()));
  t_current = this;
}

CentringHook::~CentringHook() {
  hook_.reset();
  t_current = previous_;
}

// Acts once, at the first activation; creation and every other
// notification pass untouched.
LRESULT CALLBACK CentringHook::Procedure(int code, WPARAM wp, LPARAM) {
  CentringHook* self = t_current;
  if (code != HCBT_ACTIVATE || !self || !self->hook_) return 0;
  base::trap::Guard([&] {
    ST(self->Centre(reinterpret_cast<HWND>(wp)));
    ST(self->hook_.reset());
  });
  return 0;
}

// On the owner while it is there; an owner that is gone (or was never
// given) leaves the screen as the only sensible reference.
void CentringHook::Centre(HWND window) const {
  RECT owner{}, rect{};
  GetWindowRect(window, &rect);
  if (onOwner_ && owner_ && GetWindowRect(owner_, &owner)) {
    MoveTo(window, CentreOn(ToRect(owner), ToRect(rect)));
  } else {
    MoveTo(window, ScreenCentreCorner(rect));
  }
}

}  // namespace dialogs
