// The one-shot hook that centres the next window the thread activates (the
// file dialog) on its owner or on the screen, for as long as one object
// lives.
#pragma once
#include <windows.h>

#include "base/handles_win.h"

namespace dialogs {

// Installs the hook for the calling thread on construction; the first
// window activated while it lives is centred on `owner` (on the screen when
// onOwner is false or the owner is gone) and the hook goes. The destructor
// removes a hook that has not acted. One at a time per thread: a newer one
// takes over from an older one until it goes.
class CentringHook {
 public:
  CentringHook(HWND owner, bool onOwner);
  ~CentringHook();
  CentringHook(const CentringHook&) = delete;
  CentringHook& operator=(const CentringHook&) = delete;

  // False when the system refused the hook.
  bool Installed() const { return static_cast<bool>(hook_); }

 private:
  static LRESULT CALLBACK Procedure(int code, WPARAM wp, LPARAM lp);
  void Centre(HWND window) const;

  HWND owner_;
  bool onOwner_;
  CentringHook* previous_;
  base::win::unique_hhook hook_;
};

}  // namespace dialogs
