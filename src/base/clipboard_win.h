// Putting text on the clipboard, for every window that offers Copy.
#pragma once
#include <windows.h>

#include <string>

namespace base {

// Puts `text` on the clipboard as Unicode text. False when the clipboard
// could not be had (another program may hold it for a moment: it is asked
// a few times).
bool CopyTextToClipboard(HWND owner, const std::wstring& text);

}  // namespace base
