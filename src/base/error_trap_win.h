// Win32 checks for guarded statements: each marks its line as a numbered
// statement and turns a failed call into a trap failure carrying the
// platform's error number and message text.
#pragma once
#include <windows.h>

#include <string>

#include "base/error_trap.h"

namespace base::trap {

// The platform's message for an error code, without the closing full stop.
std::wstring SystemMessage(DWORD code);
// The same for a COM failure, with its code: "Access is denied (0x80070005)".
std::wstring HresultMessage(HRESULT hr);
[[noreturn]] void RaiseWin32(DWORD code);
[[noreturn]] void RaiseHresult(HRESULT hr);
// Shows reports in a message box owned by the active window.
void InstallMessageBoxPresenter();

template <class T>
T CheckWin(T value) {
  if (!value) RaiseWin32(GetLastError());
  return value;
}
inline HANDLE CheckHandle(HANDLE h) {
  if (h == INVALID_HANDLE_VALUE) RaiseWin32(GetLastError());
  return h;
}
inline HRESULT CheckHr(HRESULT hr) {
  if (FAILED(hr)) RaiseHresult(hr);
  return hr;
}
inline LONG CheckErr(LONG code) {
  if (code != ERROR_SUCCESS) RaiseWin32(static_cast<DWORD>(code));
  return code;
}

}  // namespace base::trap

// BOOL, pointer or handle results where 0 means failure (GetLastError tells why).
#define CHECK_WIN(...) ::base::trap::CheckWin((::base::trap::Mark(__FILE__, __LINE__), (__VA_ARGS__)))
// Handle results where INVALID_HANDLE_VALUE means failure.
#define CHECK_HANDLE(...) ::base::trap::CheckHandle((::base::trap::Mark(__FILE__, __LINE__), (__VA_ARGS__)))
#define CHECK_HR(...) ::base::trap::CheckHr((::base::trap::Mark(__FILE__, __LINE__), (__VA_ARGS__)))
// Calls that return a Win32 error code (the registry functions).
#define CHECK_ERR(...) ::base::trap::CheckErr((::base::trap::Mark(__FILE__, __LINE__), (__VA_ARGS__)))
