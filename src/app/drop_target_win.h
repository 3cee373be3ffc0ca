// Files and folders dropped on a window: an OLE drop target that offers the
// copy effect for anything carrying file names, and the names a
// WM_DROPFILES message carries, for the shell's older way of dropping.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace app {

using DropHandler = std::function<void(std::vector<std::wstring> paths)>;

// Registers `hwnd` as a drop target (OLE must be initialised) and accepts
// WM_DROPFILES as well. The handler gets the dropped paths in drop order;
// it runs inside the drop, so it should only queue them. False when the OLE
// registration failed (WM_DROPFILES still works then).
bool AcceptDrops(HWND hwnd, DropHandler handler);
// The paths a WM_DROPFILES message carries; the drop handle is freed.
std::vector<std::wstring> DroppedFiles(HDROP drop);

}  // namespace app
