// Saving the main window's placement when the program ends and putting it
// back at the next start (HKCU\SOFTWARE\FD, value WindowPlacement).
#pragma once
#include <windows.h>

namespace app {

// Writes the window's normal rectangle and maximised state.
void SavePlacement(HWND hwnd);
// Shows the window where it was last time and returns true, or returns
// false (window untouched) when nothing usable was saved or the saved
// rectangle lies off every monitor there is now.
bool RestorePlacement(HWND hwnd);

}  // namespace app
