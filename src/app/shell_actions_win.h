// What the list's context menu asks of the shell: open an entry's folder
// with the entry selected.
#pragma once
#include <windows.h>

#include <string>

namespace app {

// Opens the folder holding `path` in the shell's file browser, with the
// file or folder `path` names selected.
bool ShowInFolder(const std::wstring& path);

}  // namespace app
