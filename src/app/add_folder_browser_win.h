// The shell's folder browser ("Shell.Application" BrowseForFolder), reached
// late-bound through IDispatch as a script would.
#pragma once
#include <windows.h>

#include <string>

namespace app {

// Shows the browser owned by `owner`, starting at the desktop and admitting
// any item. Returns the chosen folder's path (no closing "\" except for a
// drive root), or empty when the user cancelled or the choice has no path.
std::wstring BrowseForFolderPath(HWND owner, const std::wstring& title);

}  // namespace app
