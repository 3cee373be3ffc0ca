// Installing and removing the one-shot hook that centres the next window the
// thread activates (the file dialog) on its owner or on the screen.
#pragma once
#include <windows.h>

namespace dialogs {

// Installs the hook for the calling thread; the owner is remembered for
// CentreOnOwnerHook.  Returns false when the system refused the hook.
bool InstallCentringHook(HWND owner, bool onOwner);

// Removes the hook if no window was activated while it was installed.
void RemoveCentringHook();

}  // namespace dialogs
