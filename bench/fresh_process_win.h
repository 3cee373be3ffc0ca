// What the benchmarks that drive the real program share: a fresh process of
// the benchmark itself for one run (its time in ms as the exit code), the
// program's settings for a start that asks nothing, waiting for a window
// of the program, and the median of rounds.
#pragma once
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace bench {

inline double Millis(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

inline double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

// Runs this benchmark again with `arguments` and gives its exit code. Like
// the program's runs, each starts on a machine that has settled after the
// run before.
inline double RunSelfOnce(const std::wstring& arguments) {
  Sleep(500);
  wchar_t self[MAX_PATH] = L"";
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring line = L"\"" + std::wstring(self) + L"\" " + arguments;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(self, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return -1;
  WaitForSingleObject(pi.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return static_cast<double>(code);
}

// The program's settings for a start that asks nothing: no first-run
// disclaimer, an update check that finds nobody, files deleted rather than
// moved to the Recycle Bin.
inline void SetStartUpDefaults() {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\FD", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr)) return;
  auto set = [&](const wchar_t* name, const std::wstring& value) {
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  };
  set(L"OmbrelayFirstTime", L"No");
  set(L"UpdateURL", L"http://127.0.0.1:9/none");
  set(L"RecycleBin", L"0");
  RegCloseKey(key);
}

// Looks for a window every few milliseconds: each look is a walk over the
// top-level windows through the window server, which the program under
// measurement shares, so a tighter poll would slow the program down.
constexpr int kWindowPollMs = 5;

inline HWND WaitWindow(const std::function<HWND()>& find, int ms = 60000) {
  for (int waited = 0; waited < ms; waited += kWindowPollMs) {
    if (HWND h = find()) return h;
    Sleep(kWindowPollMs);
  }
  return nullptr;
}

inline HWND VisibleTop(const wchar_t* cls, const wchar_t* title, HWND other = nullptr) {
  HWND h = nullptr;
  while ((h = FindWindowExW(nullptr, h, cls, title)) != nullptr) {
    if (IsWindowVisible(h) && h != other) return h;
  }
  return nullptr;
}

}  // namespace bench
