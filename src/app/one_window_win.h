// One editing window for many starts: a start with paths hands them to the
// editing window already open in this session and ends, as the shell's
// "open with" starts one process per selected item.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "base/handles_win.h"

namespace app {

// Held from the look for an open window until this start's own window takes
// paths, so that of two starts at the same moment the second finds the
// first one's window.
class StartLock {
 public:
  // Takes nothing when `take` is false (a removal run).
  explicit StartLock(bool take);
  void Release();
  ~StartLock() { Release(); }
  StartLock(const StartLock&) = delete;
  StartLock& operator=(const StartLock&) = delete;

 private:
  base::win::unique_handle mutex_;
  bool held_ = false;
};

// Hands the paths to an open editing window; false when there is none or
// it did not take them (the start then opens its own window).
bool HandToOpenWindow(const std::vector<std::wstring>& paths);
// Marks `hwnd` as the editing window later starts hand their paths to.
bool MarkAsEditingWindow(HWND hwnd);
// The paths a WM_COPYDATA from another start carries, or none when the
// message is not one.
std::vector<std::wstring> HandedPaths(const COPYDATASTRUCT* data);

}  // namespace app
