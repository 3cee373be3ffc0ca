// What every window of the program shares: the windows that take keyboard
// navigation (Tab, access keys) from the message loops, and the one way the
// program ends. The main window registers itself and what must happen
// before the end; the other windows and loops only use them.
#pragma once
#include <windows.h>

#include <functional>

namespace base {

// Which messages a window leaves out of its dialog navigation.
using NavigationFilter = bool (*)(const MSG& msg);

void AddDialogWindow(HWND hwnd, NavigationFilter leaveOut = nullptr);
void RemoveDialogWindow(HWND hwnd);
// Offers a queued message to the dialog navigation of the window it is for;
// true when that took it.
bool DispatchDialogMessage(MSG* msg);

// The step EndProgram takes before the process ends (one; a later call
// replaces it).
void SetBeforeEnd(std::function<void()> step);
[[noreturn]] void EndProgram();

}  // namespace base
