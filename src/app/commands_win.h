// The commands the main window starts and the windows it opens. Each lives
// with the subsystem that owns it; the main window only calls them.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace app {

class MainWindow;

// The add command: files through the open dialog, folders through the
// shell's folder browser and the folder search.
void RunAddCommand(MainWindow& window, bool fileMode);
// Files and folders dropped on the window, added as the add command would:
// files first, then each folder through folder mode's steps.
void RunDropCommand(MainWindow& window, const std::vector<std::wstring>& paths);
// Saving and loading the delete list.
void SaveListCommand(MainWindow& window);
void LoadListCommand(MainWindow& window);
// The password prompt of a removal run; arguments is the command line text.
void ShowLoginWindow(MainWindow& window, const std::wstring& arguments);
// The About window, not modal.
void ShowAboutWindow(MainWindow& window);
// Start-up services: application constants, update check, disclaimer. They
// may end the program.
void RunStartUp(MainWindow& window);

// Modeless windows that take keyboard navigation from the message loop.
void AddDialogWindow(HWND hwnd);
void RemoveDialogWindow(HWND hwnd);
bool DispatchDialogMessage(void* msg);

}  // namespace app
