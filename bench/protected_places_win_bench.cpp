// Benchmark of the protected-folder check a list load makes: every "Folder"
// record of a 105,051-entry list shaped like the add command's (5,051
// folders below the temp folder), against opening each of those folders.
// Also the worst case: 100,000 folder records all one level below a root.
// Usage: protected_places_win_bench
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "listfile/protected_places_win.h"

namespace {

double Seconds(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The load's check over every folder; returns the seconds and the findings.
double Check(const std::vector<std::wstring>& folders, size_t& found) {
  const auto start = std::chrono::steady_clock::now();
  listfile::ProtectedPlaces places;
  found = 0;
  for (const std::wstring& f : folders) found += places.FindIfShallow(f) ? 1 : 0;
  return Seconds(start);
}

// The same folders opened once each, as a check by identity alone would.
double OpenEach(const std::vector<std::wstring>& folders) {
  const auto start = std::chrono::steady_clock::now();
  for (const std::wstring& f : folders) {
    HANDLE h = CreateFileW(f.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
  return Seconds(start);
}

}  // namespace

int main() {
  wchar_t temp[MAX_PATH] = L"";
  GetTempPathW(MAX_PATH, temp);
  const std::wstring root = std::wstring(temp) + L"ombrelay_bench\\tree";
  std::vector<std::wstring> typical{root + L"\\"};
  for (int t = 0; t < 50; ++t) {
    const std::wstring top = root + L"\\folder_" + std::to_wstring(t);
    typical.push_back(top + L"\\");
    for (int s = 0; s < 100; ++s) typical.push_back(top + L"\\subfolder_" + std::to_wstring(s) + L"\\");
  }
  std::vector<std::wstring> shallow;
  for (int i = 0; i < 100000; ++i) shallow.push_back(L"C:\\ombrelay_missing_" + std::to_wstring(i) + L"\\");

  size_t found = 0;
  const double check = Check(typical, found);
  const double open = OpenEach(typical);
  std::printf("%zu folder records of a typical list: check %.3f s (%zu protected), opening each %.3f s\n",
              typical.size(), check, found, open);
  const double worst = Check(shallow, found);
  std::printf("%zu folder records one level below C:\\: check %.3f s (%zu protected)\n", shallow.size(), worst, found);
  return 0;
}
