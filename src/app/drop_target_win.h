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
// Whether the window takes drops at this moment.
using DropsOpen = std::function<bool()>;

// Registers `hwnd` as a drop target (OLE must be initialised) and accepts
// WM_DROPFILES as well. The handler gets the dropped paths in drop order;
// it runs inside the drop, so it should only queue them. While `open` says
// no, a drag over the window shows that it cannot be dropped there and a
// drop is turned away (the handler is not called). False when the OLE
// registration failed (WM_DROPFILES still works then).
bool AcceptDrops(HWND hwnd, DropHandler handler, DropsOpen open);
// The paths a WM_DROPFILES message carries; the drop handle is freed.
std::vector<std::wstring> DroppedFiles(HDROP drop);

}  // namespace app
