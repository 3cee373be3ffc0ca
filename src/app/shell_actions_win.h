// What the list's context menu asks of the shell: put text on the clipboard
// and open an entry's folder with the entry selected.
#pragma once
#include <windows.h>

#include <string>

namespace app {

// Puts `text` on the clipboard as Unicode text. False when the clipboard
// could not be had.
bool CopyTextToClipboard(HWND owner, const std::wstring& text);
// Opens the folder holding `path` in the shell's file browser, with the
// file or folder `path` names selected.
bool ShowInFolder(const std::wstring& path);

}  // namespace app
