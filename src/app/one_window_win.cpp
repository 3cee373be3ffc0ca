// Handing paths from a new start to the open editing window: a named mutex
// per session orders the starts, a window property marks the window that
// takes paths, WM_COPYDATA carries them.
#include "app/one_window_win.h"

#include "app/command_line.h"

namespace app {
namespace {

const wchar_t kStartMutex[] = L"Local\\Ombrelay.EditingWindowStart";
const wchar_t kMainClass[] = L"OmbrelayMain";
const wchar_t kTakesPaths[] = L"Ombrelay.TakesPaths";
// Marks a WM_COPYDATA as paths from another start ("OMBP").
constexpr ULONG_PTR kPathsData = 0x4F4D4250;
// The first start may still be creating its window, or loading a large list.
constexpr DWORD kLockWaitMs = 20000;
constexpr UINT kHandOverWaitMs = 30000;
// More than any command line can hold (32,767 characters).
constexpr DWORD kMostBytes = 1 << 20;

BOOL CALLBACK PickEditingWindow(HWND hwnd, LPARAM found) {
  wchar_t cls[32] = L"";
  if (!GetClassNameW(hwnd, cls, 32) || lstrcmpW(cls, kMainClass) != 0) return TRUE;
  if (!GetPropW(hwnd, kTakesPaths)) return TRUE;
  *reinterpret_cast<HWND*>(found) = hwnd;
  return FALSE;  // the first in z-order: the one used last
}

HWND FindEditingWindow() {
  HWND found = nullptr;
  EnumWindows(PickEditingWindow, reinterpret_cast<LPARAM>(&found));
  return found;
}

}  // namespace

StartLock::StartLock(bool take) {
  if (!take) return;
  // Without the mutex (another user's in this session) starts are not ordered.
  mutex_.reset(CreateMutexW(nullptr, FALSE, kStartMutex));
  if (!mutex_) return;
  const DWORD waited = WaitForSingleObject(mutex_.get(), kLockWaitMs);
  held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
}

void StartLock::Release() {
  if (held_) ReleaseMutex(mutex_.get());
  held_ = false;
}

bool HandToOpenWindow(const std::vector<std::wstring>& paths) {
  HWND window = FindEditingWindow();
  if (!window) return false;
  const std::wstring packed = PackPaths(paths);
  COPYDATASTRUCT data{kPathsData, static_cast<DWORD>(packed.size() * sizeof(wchar_t)),
                      const_cast<wchar_t*>(packed.data())};
  // The open window may come to the front to show what it added.
  DWORD process = 0;
  if (GetWindowThreadProcessId(window, &process)) AllowSetForegroundWindow(process);
  DWORD_PTR taken = FALSE;
  const LRESULT sent = SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_NORMAL,
                                           kHandOverWaitMs, &taken);
  return sent != 0 && taken == TRUE;
}

bool MarkAsEditingWindow(HWND hwnd) { return SetPropW(hwnd, kTakesPaths, reinterpret_cast<HANDLE>(1)) != FALSE; }

std::vector<std::wstring> HandedPaths(const COPYDATASTRUCT* data) {
  if (!data || data->dwData != kPathsData || !data->lpData) return {};
  if (data->cbData % sizeof(wchar_t) != 0 || data->cbData > kMostBytes) return {};
  const auto* text = static_cast<const wchar_t*>(data->lpData);
  return UnpackPaths(std::wstring(text, data->cbData / sizeof(wchar_t)));
}

}  // namespace app
