// Benchmark of the list editing commands through the real main window (its
// virtual list view included), and of saving and loading the whole list, with
// a million entries (or the count given on the command line), and the
// program's private memory with that list shown.
//   Usage: main_window_win_bench [entries] [scratch list file]
#include <windows.h>

#include <commctrl.h>
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/main_window_win.h"
#include "base/file_io.h"
#include "listfile/list_file.h"

namespace {

double Millis(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void Pump(HWND hwnd) {
  UpdateWindow(hwnd);
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

PROCESS_MEMORY_COUNTERS_EX Memory() {
  PROCESS_MEMORY_COUNTERS_EX pmc{};
  pmc.cb = sizeof pmc;
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof pmc);
  return pmc;
}
size_t WorkingSet() { return Memory().WorkingSetSize; }

// Save and load as the commands do them, without their dialogs: the list's
// records to bytes to the file, and the file back into the list.
double SaveList(app::MainWindow& window, const std::wstring& path) {
  auto start = std::chrono::steady_clock::now();
  const std::string bytes = listfile::EncodeRecordTexts(window.List().RecordTexts(), L"password");
  std::wstring reason;
  if (!base::files::WriteAll(path, bytes, reason)) std::printf("save failed\n");
  return Millis(start);
}

double LoadList(app::MainWindow& window, const std::wstring& path) {
  auto start = std::chrono::steady_clock::now();
  std::string bytes;
  std::wstring reason;
  if (!base::files::ReadAll(path, bytes, reason)) std::printf("load failed\n");
  listfile::ListContent loaded = listfile::ReadListTexts(std::move(bytes));
  window.List().Clear();
  window.List().Reserve(loaded.records.size());
  for (std::wstring& r : loaded.records) window.List().AppendRecord(std::exchange(r, std::wstring()));
  window.ListChanged();
  Pump(window.hwnd());
  return Millis(start);
}

}  // namespace

int main(int argc, char** argv) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  app::MainWindow& window = app::TheMainWindow();
  if (!window.Create(GetModuleHandleW(nullptr))) return 1;
  window.ShowCentred();
  Pump(window.hwnd());

  const size_t kEntries = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 1000000;
  wchar_t temp[MAX_PATH] = L"";
  GetTempPathW(MAX_PATH, temp);
  const std::wstring listPath = argc > 2 ? std::wstring(argv[2], argv[2] + std::strlen(argv[2]))
                                         : std::wstring(temp) + L"ombrelay_bench_list.txt";
  size_t before = WorkingSet();
  auto start = std::chrono::steady_clock::now();
  window.List().Reserve(kEntries);
  for (size_t i = 0; i < kEntries; ++i)
    window.List().Append(L"C:\\Data\\folder_" + std::to_wstring(i % 50) + L"\\subfolder_" +
                             std::to_wstring(i / 20 % 1010) + L"\\document_" + std::to_wstring(i) + L".txt",
                         L"File");
  window.ListChanged();
  Pump(window.hwnd());
  double fill = Millis(start);
  size_t after = WorkingSet();
  // Private bytes: PrivateUsage where the platform fills it, else the
  // committed page-file bytes, which count the same memory.
  const PROCESS_MEMORY_COUNTERS_EX memory = Memory();
  const size_t privateBytes = memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage;
  const size_t kept = window.List().Count();
  const double save = SaveList(window, listPath);
  const double load = LoadList(window, listPath);
  DeleteFileW(listPath.c_str());

  start = std::chrono::steady_clock::now();
  window.SelectAll();
  Pump(window.hwnd());
  double selectAll = Millis(start);

  start = std::chrono::steady_clock::now();
  window.InvertSelection();
  Pump(window.hwnd());
  double invert = Millis(start);

  for (size_t i = 0; i < kEntries; i += 2) window.List().SetChecked(i, true);
  start = std::chrono::steady_clock::now();
  window.RemoveSelected();
  Pump(window.hwnd());
  double remove = Millis(start);

  std::printf("window, %zu entries\n", kEntries);
  std::printf("fill + show        %.1f ms\n", fill);
  std::printf("select all         %.1f ms\n", selectAll);
  std::printf("invert             %.1f ms\n", invert);
  std::printf("remove (half)      %.1f ms  (%zu left, status \"%ls\")\n", remove, window.List().Count(),
              window.StatusText().c_str());
  std::printf("working set growth %.1f bytes per entry (record and path text together)\n",
              static_cast<double>(after - before) / kEntries);
  std::printf("private memory     %.1f MB with the whole list shown\n", privateBytes / 1048576.0);
  std::printf("save %zu entries  %.1f ms\n", kept, save);
  std::printf("load %zu entries  %.1f ms\n", kept, load);
  return 0;
}
