// Keyboard navigation (Tab, access keys) for the program's windows: the
// message loop offers each message to the window it belongs to.
#include <windows.h>

#include <algorithm>
#include <vector>

#include "app/commands_win.h"
#include "app/main_window_win.h"

namespace app {
namespace {

std::vector<HWND>& Windows() {
  static std::vector<HWND> windows;
  return windows;
}

}  // namespace

void AddDialogWindow(HWND hwnd) { Windows().push_back(hwnd); }

void RemoveDialogWindow(HWND hwnd) {
  auto& w = Windows();
  w.erase(std::remove(w.begin(), w.end(), hwnd), w.end());
}

bool DispatchDialogMessage(void* message) {
  MSG* msg = static_cast<MSG*>(message);
  HWND main = TheMainWindow().Handle();
  // The list view handles Space itself; everything else goes through the
  // dialog navigation of the window that owns the message.
  for (HWND w : Windows()) {
    if (w && (w == msg->hwnd || IsChild(w, msg->hwnd)) && IsDialogMessageW(w, msg)) return true;
  }
  if (main && (main == msg->hwnd || IsChild(main, msg->hwnd))) {
    wchar_t cls[32] = L"";
    GetClassNameW(msg->hwnd, cls, 32);
    bool listKey = lstrcmpiW(cls, L"SysListView32") == 0 && msg->message == WM_KEYDOWN && msg->wParam != VK_TAB;
    if (!listKey && IsDialogMessageW(main, msg)) return true;
  }
  return false;
}

}  // namespace app
