// Benchmark of opening a community-sized routines file (4,000 entries) in
// the real routines window and deciding which entries fit this computer,
// against the bare existence checks of the same detection paths (one
// attribute read per DetectFile path, one key open per registry view of
// each Detect key), in the same run. One entry in ten detected by its
// folder has that folder, made below %LOCALAPPDATA% for the run.
//   Usage: routines_window_win_bench [rounds]
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/routines_update_win.h"
#include "app/routines_window_win.h"
#include "base/encoding.h"
#include "base/file_io.h"
#include "routines/detection_checks_win.h"
#include "routines/routines_file.h"
#include "routines/routines_file_win.h"
#include "routines/variables.h"
#include "routines/variables_win.h"
#include "routines_sample.h"
#include "services/registry_win.h"

namespace {

double Millis(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

std::wstring LocalAppData() {
  const routines::SystemVariables system;
  const std::vector<std::wstring> values = system.Values(L"LocalAppData");
  return values.empty() ? std::wstring() : values.front();
}

// The bare checks: every detection path of every entry, as written,
// variables replaced, asked once, with nothing else around them.
size_t BareChecks(const routines::RoutinesFile& file) {
  const routines::SystemVariables system;
  const routines::VariableLookup lookup = system.Lookup();
  size_t found = 0;
  for (const routines::Entry& e : file.entries) {
    bool fits = e.routine.detects.empty() && e.routine.detectFiles.empty();
    for (const std::wstring& key : e.routine.detects) {
      const std::wstring path = key.substr(key.find(L'\\') + 1);
      for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
        HKEY opened = nullptr;
        if (!fits && RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ | view, &opened) == ERROR_SUCCESS) {
          RegCloseKey(opened);
          fits = true;
        }
      }
    }
    for (const std::wstring& detect : e.routine.detectFiles) {
      for (const std::wstring& path : routines::ExpandVariables(detect, lookup).texts)
        if (!fits && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) fits = true;
    }
    found += fits;
  }
  return found;
}

// The window opened on the file, its messages pumped until its line says
// how many entries fit.
double WindowDecides(const std::wstring& path, std::wstring& line) {
  app::RoutinesWindow window;
  const auto start = std::chrono::steady_clock::now();
  if (!window.Open(nullptr, nullptr, path, L"", nullptr, nullptr)) return -1;
  for (;;) {
    MSG msg;
    if (GetMessageW(&msg, nullptr, 0, 0) <= 0) break;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    line = window.ControlText(app::kRoutinesFitLine);
    if (line.find(L" fit this computer.") != std::wstring::npos && line.rfind(L"Deciding", 0) != 0) break;
  }
  const double ms = Millis(start);
  DestroyWindow(window.hwnd());
  return ms;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  const std::wstring local = LocalAppData();
  wchar_t temp[MAX_PATH] = L"";
  GetTempPathW(MAX_PATH, temp);
  const std::wstring path = std::wstring(temp) + L"ombrelay-bench-winapp2.ini";
  const std::string bytes = sample::RoutinesFile();
  std::wstring reason;
  if (local.empty() || !base::files::WriteAll(path, bytes, reason)) {
    std::printf("could not set up the routines file\n");
    return 1;
  }
  std::vector<std::wstring> made;
  for (size_t i = 1; i < sample::kEntries; i += 10) {
    if (sample::DetectedByKey(i)) continue;
    const std::wstring vendor = local + L"\\" + base::enc::FromAnsi("Vendor" + std::to_string(i));
    CreateDirectoryW(vendor.c_str(), nullptr);
    CreateDirectoryW((vendor + L"\\" + base::enc::FromAnsi("Program" + std::to_string(i))).c_str(), nullptr);
    made.push_back(vendor);
  }
  const routines::RoutinesFile file = routines::ReadRoutines(bytes);
  const std::wstring remembered = app::RememberedRoutinesFile();  // the window remembers the file it read
  std::vector<double> bare, shown;
  size_t fits = 0;
  std::wstring line;
  for (int r = 0; r < rounds; ++r) {
    auto start = std::chrono::steady_clock::now();
    fits = BareChecks(file);
    bare.push_back(Millis(start));
    shown.push_back(WindowDecides(path, line));
  }
  std::sort(bare.begin(), bare.end());
  std::sort(shown.begin(), shown.end());
  const double bareMs = bare[bare.size() / 2], shownMs = shown[shown.size() / 2];
  {
    auto start = std::chrono::steady_clock::now();
    std::string read;
    std::wstring problem;
    if (!routines::ReadRoutinesBytes(path, read, problem)) std::printf("the routines file could not be read\n");
    std::printf("parts: file read %.1f ms", Millis(start));
    const routines::RoutinesFile loaded = routines::ReadRoutines(read);
    for (int k = 0; k < 3; ++k) {
      start = std::chrono::steady_clock::now();
      const routines::RoutinesFile again = routines::ReadRoutines(bytes);
      std::printf(", parse %.1f ms", Millis(start));
    }
    start = std::chrono::steady_clock::now();
    const routines::SystemVariables system;
    const routines::VariableLookup lookup = system.Lookup();
    std::printf(", variables %.1f ms", Millis(start));
    start = std::chrono::steady_clock::now();
    std::atomic<bool> stop{false};
    size_t n = 0;
    routines::DetectionChecks checks(read);
    checks.Prepare(lookup, stop);
    checks.CheckAll(lookup, stop, stop);
    for (char f : checks.DecideFits(loaded.entries, lookup, stop)) n += f;
    std::printf(", fits decided on one thread %.1f ms (%zu)\n", Millis(start), n);
  }
  std::printf("routines file: %zu entries, %zu bytes; %zu fit\n", file.entries.size(), bytes.size(), fits);
  std::printf("window says: %ls\n", line.c_str());
  std::printf("bare existence checks of the detection paths: %.1f ms (median of %d)\n", bareMs, rounds);
  std::printf("file read and fits decided, window shown:     %.1f ms (median of %d), %.2f times the bare checks\n",
              shownMs, rounds, shownMs / bareMs);
  for (const std::wstring& vendor : made) {
    RemoveDirectoryW((vendor + L"\\" + vendor.substr(vendor.rfind(L"Vendor") + 6).insert(0, L"Program")).c_str());
    RemoveDirectoryW(vendor.c_str());
  }
  DeleteFileW(path.c_str());
  if (!remembered.empty()) {
    app::RememberRoutinesFile(remembered);
  } else if (base::win::unique_hkey key = services::OpenKey(HKEY_CURRENT_USER, services::kSettingsKey, KEY_SET_VALUE)) {
    services::DeleteValue(key.get(), L"RoutinesFile");
  }
  return 0;
}
