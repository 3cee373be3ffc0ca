// What every window of the program shares: keyboard navigation from the
// message loops, and the one way the program ends (EndProgram asks, the one
// RunMessageLoop ends, WinMain waits for the window jobs and returns).
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

// The program's window (the main window, shown or not) and the step the end
// takes first, on that window's thread (one; a later call replaces both).
// That thread runs the message loop; an end asked for on another thread is
// posted to the window.
void SetBeforeEnd(HWND window, std::function<void()> step);

// Asks the program to end with `exitCode`, and returns at once; the caller
// then returns to the message loop without doing anything more. On the
// loop's thread it takes the step and posts the quit: the loop ends once
// the caller is back in it, also before the loop has begun (the quit waits
// in the queue), and also when the caller is inside a modal message box or
// dialog (its loop takes the quit, ends, and the outer loop ends after it:
// RunMessageLoop does not wait for a quit that such a loop kept). On any
// other thread it posts the ask to the program's window, whose procedure
// (base::Window's) asks again on the loop's thread. The first code asked
// for is the one the program ends with; later asks change nothing.
void EndProgram(int exitCode = 0);
// True once the end was asked for on the loop's thread: a step that comes
// back from a message box or dialog asks this before it goes on (a box
// ended by the quit gives an answer that is nobody's; Wine's gives its
// default button's).
bool Ending();
// The message a window's procedure takes as an ask to end from another
// thread: wParam is the exit code.
UINT EndProgramMessage();

// The program's one message loop: dispatches every message (offering it to
// the dialog navigation first) until the end is asked for, and gives the
// exit code. A loop of one's own (none is needed: the windows share this
// one) that takes WM_QUIT must post it again (PostQuitMessage) and end.
int RunMessageLoop();

// Forgets an end asked for (tests only: each test asks afresh).
void ResetEndForTests();

}  // namespace base
