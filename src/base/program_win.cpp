// The navigation registry, the end of the program and its message loop.
#include "base/program_win.h"

#include <algorithm>
#include <atomic>
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

// What the end needs to know. The window and the loop's thread are read by
// other threads too; the step and the code only on the loop's thread.
struct EndState {
  std::atomic<HWND> window{nullptr};
  std::atomic<DWORD> loopThread{0};
  std::function<void()> step;
  std::atomic<bool> asked{false};
  std::atomic<int> code{0};
};

EndState& End() {
  static EndState* state = new EndState;  // never destroyed: a worker may ask at the very end
  return *state;
}

// The loop's thread; before the program's window is set, the caller's.
bool OnLoopThread() {
  const DWORD loop = End().loopThread.load();
  return loop == 0 || loop == GetCurrentThreadId();
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

void SetBeforeEnd(HWND window, std::function<void()> step) {
  EndState& end = End();
  end.step = std::move(step);
  end.loopThread = window ? GetWindowThreadProcessId(window, nullptr) : GetCurrentThreadId();
  end.window = window;
}

UINT EndProgramMessage() {
  static const UINT message = RegisterWindowMessageW(L"Ombrelay.EndProgram");
  return message;
}

void EndProgram(int exitCode) {
  EndState& end = End();
  if (!OnLoopThread()) {
    // The window's procedure asks again on its own thread. A window that is
    // gone has ended the loop already (the main window's end is the
    // program's).
    if (HWND window = end.window.load()) PostMessageW(window, EndProgramMessage(), static_cast<WPARAM>(exitCode), 0);
    return;
  }
  if (end.asked.exchange(true)) return;
  end.code = exitCode;
  if (end.step) {
    const std::function<void()> step = end.step;
    step();
  }
  PostQuitMessage(exitCode);
}

bool Ending() { return End().asked.load(); }

int RunMessageLoop() {
  MSG msg{};
  int quitCode = 0;
  // A modal loop that took the quit may have kept it: the end asked for is
  // looked at before each wait, so the loop never waits for a quit that
  // will not come.
  while (!Ending()) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) quitCode = static_cast<int>(msg.wParam);
    if (got <= 0) break;
    if (DispatchDialogMessage(&msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return Ending() ? End().code.load() : quitCode;
}

void ResetEndForTests() {
  EndState& end = End();
  end.asked = false;
  end.code = 0;
  end.window = nullptr;
  end.loopThread = 0;
  end.step = nullptr;
  MSG quit;
  while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
}

}  // namespace base
