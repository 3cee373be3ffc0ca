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
// The paths handed in on command lines, added as a drop would add them;
// they are taken from the window's queue after the "Clear" question, which
// is left out when `askClear` is false.
void RunQueuedPathsCommand(MainWindow& window, bool askClear);
// Saving and loading the delete list.
void SaveListCommand(MainWindow& window);
void LoadListCommand(MainWindow& window);

}  // namespace app
