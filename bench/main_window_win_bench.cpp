// Benchmark of the list editing commands through the real main window (its
// virtual list view included) with 200,000 entries.
#include <windows.h>

#include <commctrl.h>
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "app/main_window_win.h"

namespace {

double Millis(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void Pump(HWND hwnd) {
  UpdateWindow(hwnd);
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

size_t WorkingSet() {
  PROCESS_MEMORY_COUNTERS pmc{};
  pmc.cb = sizeof pmc;
  GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
  return pmc.WorkingSetSize;
}

}  // namespace

int main() {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  app::MainWindow& window = app::TheMainWindow();
  if (!window.Create(GetModuleHandleW(nullptr))) return 1;
  window.ShowCentred();
  Pump(window.Handle());

  constexpr size_t kEntries = 200000;
  size_t before = WorkingSet();
  auto start = std::chrono::steady_clock::now();
  window.List().Reserve(kEntries);
  for (size_t i = 0; i < kEntries; ++i)
    window.List().Append(L"C:\\Data\\folder" + std::to_wstring(i % 5050) + L"\\file" + std::to_wstring(i) + L".txt",
                         L"File");
  window.ListChanged();
  Pump(window.Handle());
  double fill = Millis(start);
  size_t after = WorkingSet();

  start = std::chrono::steady_clock::now();
  window.SelectAll();
  Pump(window.Handle());
  double selectAll = Millis(start);

  start = std::chrono::steady_clock::now();
  window.InvertSelection();
  Pump(window.Handle());
  double invert = Millis(start);

  for (size_t i = 0; i < kEntries; i += 2) window.List().SetChecked(i, true);
  start = std::chrono::steady_clock::now();
  window.RemoveSelected();
  Pump(window.Handle());
  double remove = Millis(start);

  std::printf("window, %zu entries\n", kEntries);
  std::printf("fill + show        %.1f ms\n", fill);
  std::printf("select all         %.1f ms\n", selectAll);
  std::printf("invert             %.1f ms\n", invert);
  std::printf("remove (half)      %.1f ms  (%zu left, status \"%ls\")\n", remove, window.List().Count(),
              window.StatusText().c_str());
  std::printf("working set growth %.1f bytes per entry (record and path text together)\n",
              static_cast<double>(after - before) / kEntries);
  return 0;
}
