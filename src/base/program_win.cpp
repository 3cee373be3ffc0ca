// The navigation registry and the end of the program.
#include "base/program_win.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace base {
namespace {

struct DialogWindow {
  HWND hwnd;
  NavigationFilter leaveOut;
};

std::vector<DialogWindow>& Windows() {
  static std::vector<DialogWindow> windows;
  return windows;
}

std::function<void()>& BeforeEnd() {
  static std::function<void()> step;
  return step;
}

}  // namespace

void AddDialogWindow(HWND hwnd, NavigationFilter leaveOut) { Windows().push_back({hwnd, leaveOut}); }

void RemoveDialogWindow(HWND hwnd) {
  auto& w = Windows();
  w.erase(std::remove_if(w.begin(), w.end(), [hwnd](const DialogWindow& d) { return d.hwnd == hwnd; }), w.end());
}

bool DispatchDialogMessage(MSG* msg) {
  for (const DialogWindow& w : Windows()) {
    if (!w.hwnd || (w.hwnd != msg->hwnd && !IsChild(w.hwnd, msg->hwnd))) continue;
    if (w.leaveOut && w.leaveOut(*msg)) continue;
    if (IsDialogMessageW(w.hwnd, msg)) return true;
  }
  return false;
}

void SetBeforeEnd(std::function<void()> step) { BeforeEnd() = std::move(step); }

void EndProgram() {
  if (BeforeEnd()) BeforeEnd()();
  ExitProcess(0);
}

}  // namespace base
