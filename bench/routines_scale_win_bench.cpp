// Benchmark of a list of every routine of the community file that fits, at
// the file's scale: 3,640 routines made up in its shapes (one to three
// FileKeys each, below %LocalAppData%, %AppData% and %ProgramFiles%, some
// RECURSE, some REMOVESELF, some with a wildcard folder such as
// "...\User Data\*\Cache", some ExcludeKeys, each detected by a DetectFile
// or Detect that is there), over about 1,900 folders and 59,000 small files.
//   preview: the list read and planned, every routine answered, every fate
//            decided and the totals made, as the preview window does it,
//            in a fresh process each round (its peak memory too), against
//            a bare two-thread walk of the same folders in a fresh process;
//   run:     the whole removal run of that list, from reading it to the
//            closing message, in a fresh process, against the bare walk
//            plus a bare two-thread delete of the same items.
// Ratios are the medians over the rounds (goal: at most 1.3 each).
// Usage: routines_scale_win_bench [preview|run|all] [rounds]   (default: all, 2)
// What it makes lives in an OmbrelayScale folder below each of those three
// folders and in HKCU\Software\OmbrelayScale, and is removed at the end.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "bare_walk_win.h"
#include "base/encoding.h"
#include "base/file_io.h"
#include "base/system_folders_win.h"
#include "fresh_process_win.h"
#include "list_bytes.h"
#include "listfile/list_file.h"
#include "removal/fates_win.h"
#include "removal/preview.h"
#include "removal/removal_run_win.h"
#include "removal/rule_expansion_win.h"
#include "routines/routines_file.h"

namespace {

constexpr size_t kRoutines = 3640;
constexpr int kCacheFiles = 50, kDeepFiles = 10, kProfileFiles = 15, kTempFiles = 10, kLogFiles = 3;
const wchar_t kScale[] = L"OmbrelayScale";
const wchar_t kKeyBase[] = L"Software\\OmbrelayScale";

using bench::Median;
using bench::Millis;

// The variable routine i's folder is below, and that folder's value here.
const char* VariableOf(size_t i) { return i % 7 < 4 ? "LocalAppData" : i % 7 < 6 ? "AppData" : "ProgramFiles"; }
std::wstring FolderOf(size_t i) {
  const KNOWNFOLDERID& id = i % 7 < 4   ? FOLDERID_LocalAppData
                            : i % 7 < 6 ? FOLDERID_RoamingAppData
                                        : FOLDERID_ProgramFiles;
  return base::system::KnownFolder(id, KF_FLAG_DONT_VERIFY);
}
std::string AppOf(size_t i) { return "Vendor" + std::to_string(i) + "\\App" + std::to_string(i); }

// Which of routine i's keys there are, and which find files.
bool Recursed(size_t i) { return i % 3 == 0; }
bool HasLogs(size_t i) { return i % 2 == 1; }
bool HasProfiles(size_t i) { return i % 7 == 0; }
bool HasTemp(size_t i) { return i % 22 == 5; }
bool ByKey(size_t i) { return i % 5 == 0; }
bool CacheThere(size_t i) { return i % 4 == 0; }
bool LogsThere(size_t i) { return i % 12 == 1; }

std::string RoutinesText() {
  std::string text;
  for (size_t i = 0; i < kRoutines; ++i) {
    const std::string n = std::to_string(i);
    const std::string folder = "%" + std::string(VariableOf(i)) + "%\\" + base::enc::ToUtf8(kScale) + "\\" + AppOf(i);
    text += "[App " + n + " Cache *]\n";
    text += ByKey(i) ? "Detect=HKCU\\Software\\OmbrelayScale\\Vendor" + n + "\n" : "DetectFile=" + folder + "\n";
    text += "FileKey1=" + folder + "\\Cache|*.*" + (Recursed(i) ? "|RECURSE" : "") + "\n";
    size_t k = 2;
    if (HasLogs(i)) text += "FileKey" + std::to_string(k++) + "=" + folder + "\\Logs|*.log;*.tmp\n";
    if (HasProfiles(i))
      text += "FileKey" + std::to_string(k++) + "=" + folder + "\\User Data\\*\\Cache|*.*|REMOVESELF\n";
    if (HasTemp(i)) text += "FileKey" + std::to_string(k++) + "=" + folder + "\\Temp|*.*|REMOVESELF\n";
    if (i % 20 == 1) text += "ExcludeKey1=FILE|" + folder + "\\Logs\\|keep*.log\n";
    text += "\n";
  }
  return text;
}

void MakeFiles(const std::wstring& folder, int count, const wchar_t* extension) {
  CreateDirectoryW(folder.c_str(), nullptr);
  for (int f = 0; f < count; ++f) {
    HANDLE h = CreateFileW((folder + L"\\f_" + std::to_wstring(f) + extension).c_str(), GENERIC_WRITE, 0, nullptr,
                           CREATE_ALWAYS, 0, nullptr);
    DWORD wrote = 0;
    if (h != INVALID_HANDLE_VALUE) {
      WriteFile(h, "scale", 1 + f % 5, &wrote, nullptr);
      CloseHandle(h);
    }
  }
}

std::wstring AppFolder(size_t i) { return FolderOf(i) + L"\\" + kScale + L"\\" + base::enc::FromUtf8(AppOf(i)); }

// Every routine's folder (so that each fits), the files its keys find for
// half of them, and the folders a bare walk lists (each once).
std::vector<std::wstring> MakeProfile() {
  std::vector<std::wstring> walked;
  for (size_t i = 0; i < kRoutines; ++i) {
    const std::wstring app = AppFolder(i);
    SHCreateDirectoryExW(nullptr, app.c_str(), nullptr);
    if (ByKey(i)) {
      HKEY made = nullptr;
      const std::wstring key = std::wstring(kKeyBase) + L"\\Vendor" + std::to_wstring(i);
      if (RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &made, nullptr) ==
          ERROR_SUCCESS)
        RegCloseKey(made);
    }
    if (CacheThere(i)) {
      MakeFiles(app + L"\\Cache", kCacheFiles, L".tmp");
      if (Recursed(i)) MakeFiles(app + L"\\Cache\\deep", kDeepFiles, L".bin");
      walked.push_back(app + L"\\Cache");
    }
    if (HasLogs(i) && LogsThere(i)) {
      MakeFiles(app + L"\\Logs", kLogFiles, L".log");
      walked.push_back(app + L"\\Logs");
    }
    if (HasProfiles(i)) {
      const std::wstring profile = app + (i % 2 ? L"\\User Data\\Default" : L"\\User Data\\Profile 1");
      SHCreateDirectoryExW(nullptr, profile.c_str(), nullptr);
      MakeFiles(profile + L"\\Cache", kProfileFiles, L".dat");
      walked.push_back(profile + L"\\Cache");
    }
    if (HasTemp(i)) {
      MakeFiles(app + L"\\Temp", kTempFiles, L".tmp");
      walked.push_back(app + L"\\Temp");
    }
  }
  return walked;
}

using bench::RemoveTree;

void RemoveProfile() {
  for (size_t i = 0; i < 7; ++i) RemoveTree(FolderOf(i) + L"\\" + kScale);
  RegDeleteTreeW(HKEY_CURRENT_USER, kKeyBase);
}

// The walked folders, one list for the fresh processes that walk them.
std::wstring WalkedListPath(const std::wstring& scratch) { return scratch + L"\\walked.txt"; }

std::vector<std::wstring> ReadWalked(const std::wstring& scratch) {
  std::string bytes;
  std::wstring reason;
  std::vector<std::wstring> walked;
  if (!base::files::ReadAll(WalkedListPath(scratch), bytes, reason)) return walked;
  size_t start = 0;
  for (size_t end; (end = bytes.find('\n', start)) != std::string::npos; start = end + 1)
    walked.push_back(base::enc::FromUtf8(bytes.substr(start, end - start)));
  return walked;
}

// The bare two-thread walk of the folders: every file's path.
std::vector<std::wstring> BareWalk(const std::vector<std::wstring>& walked) {
  std::vector<std::wstring> found[2];
  size_t counted[2] = {};
  std::thread other([&] {
    for (size_t c = 1; c < walked.size(); c += 2) bench::MinimalWalk(walked[c], found[1], counted[1]);
  });
  for (size_t c = 0; c < walked.size(); c += 2) bench::MinimalWalk(walked[c], found[0], counted[0]);
  other.join();
  found[0].insert(found[0].end(), found[1].begin(), found[1].end());
  return found[0];
}

// --- in the fresh processes (each gives its time in ms) ----------------------

int WalkOnce(const std::wstring& scratch) {
  const std::vector<std::wstring> walked = ReadWalked(scratch);
  const auto start = std::chrono::steady_clock::now();
  const size_t files = BareWalk(walked).size();
  const int ms = static_cast<int>(Millis(start));
  std::printf("    bare walk: %zu files in %zu folders, %d ms\n", files, walked.size(), ms);
  return ms;
}

// The bare delete of what the walk found, then of the folders REMOVESELF
// empties (deepest first), on two threads.
int WalkAndDeleteOnce(const std::wstring& scratch) {
  const std::vector<std::wstring> walked = ReadWalked(scratch);
  const auto start = std::chrono::steady_clock::now();
  const std::vector<std::wstring> files = BareWalk(walked);
  const double walk = Millis(start);
  std::thread other([&] {
    for (size_t i = 1; i < files.size(); i += 2) DeleteFileW(files[i].c_str());
  });
  for (size_t i = 0; i < files.size(); i += 2) DeleteFileW(files[i].c_str());
  other.join();
  for (const std::wstring& folder : walked)
    if (folder.find(L"\\User Data\\") != std::wstring::npos || folder.find(L"\\Temp") != std::wstring::npos)
      RemoveDirectoryW(folder.c_str());
  const int ms = static_cast<int>(Millis(start));
  std::printf("    bare walk %.0f ms, delete %.0f ms (%zu files)\n", walk, ms - walk, files.size());
  return ms;
}

// As the preview window fills: the list read, the routines answered, the
// fates and the totals.
int PreviewOnce(const std::wstring& list) {
  const auto start = std::chrono::steady_clock::now();
  removal::RemovalRun run(list);
  std::wstring problem;
  if (!run.Read(problem)) return -1;
  removal::Plan plan = run.TakePlan();
  const double read = Millis(start);
  removal::ExpandRules(plan, removal::RuleClock());
  const double expanded = Millis(start);
  std::vector<removal::Fate> fates = removal::Foresee(plan, removal::Disposal::Delete);
  const double foreseen = Millis(start);
  const removal::Preview preview(std::move(fates), [](std::uint64_t n) { return std::to_wstring(n); });
  const removal::PreviewTotals& totals = preview.Totals();
  const int ms = static_cast<int>(Millis(start));
  std::printf("    preview: read %.0f, routines %.0f, fates %.0f, totals %.0f ms: %zu files, %zu folders, %llu bytes\n",
              read, expanded - read, foreseen - expanded, ms - foreseen, totals.files, totals.folders,
              static_cast<unsigned long long>(totals.bytes));
  return ms;
}

int RunOnce(const std::wstring& list) {
  const auto start = std::chrono::steady_clock::now();
  removal::RemovalRun run(list);
  std::wstring problem;
  if (!run.Read(problem)) return -1;
  std::wstring closing = run.Run(removal::Disposal::Delete, nullptr).text.substr(0, 100);
  const int ms = static_cast<int>(Millis(start));
  const removal::RunResult& r = run.Result();
  for (wchar_t& c : closing)
    if (c == L'\n') c = L' ';
  std::printf("    run: routines %.2f, fate check %.2f, files %.2f, folders %.2f, tally %.2f s (\"%ls\")\n",
              r.rulesSeconds, r.checkSeconds, r.filesSeconds, r.foldersSeconds, r.tallySeconds, closing.c_str());
  return ms;
}

// --- the rounds ---------------------------------------------------------------

struct Fresh {
  double ms = -1;
  double peakMb = 0;
};

// A fresh process's peak memory, left where the one that started it reads
// it (Wine tells nothing of a process that has ended).
std::wstring PeakPath(const std::wstring& scratch) { return scratch + L"\\peak.txt"; }

int WithPeak(const std::wstring& scratch, int ms) {
  PROCESS_MEMORY_COUNTERS pmc{};
  std::wstring reason;
  if (GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc))
    base::files::WriteAll(PeakPath(scratch), std::to_string(pmc.PeakWorkingSetSize), reason);
  return ms;
}

// Runs this benchmark again with `arguments`: its time and peak memory.
Fresh RunFresh(const std::wstring& scratch, const std::wstring& arguments) {
  std::fflush(stdout);
  Fresh fresh;
  fresh.ms = bench::RunSelfOnce(arguments);
  std::string peak;
  std::wstring reason;
  if (base::files::ReadAll(PeakPath(scratch), peak, reason)) fresh.peakMb = std::atof(peak.c_str()) / 1048576.0;
  return fresh;
}

// Rounds of the program's step and the bare one in turns; `again` remakes
// what a step used up, before each.
void Section(const char* name, int rounds, const std::wstring& scratch, const std::wstring& programStep,
             const std::wstring& bareStep, const std::function<void()>& again) {
  std::vector<double> ratios, program, bare, peaks;
  for (int round = 0; round < rounds; ++round) {
    Fresh steps[2];
    for (int step = 0; step < 2; ++step) {
      const int k = (step + round) % 2;
      if (again) again();
      steps[k] = RunFresh(scratch, k == 0 ? bareStep : programStep);
    }
    if (steps[0].ms <= 0 || steps[1].ms <= 0) {
      std::printf("  %s round %d failed\n", name, round + 1);
      continue;
    }
    ratios.push_back(steps[1].ms / steps[0].ms);
    program.push_back(steps[1].ms / 1000);
    bare.push_back(steps[0].ms / 1000);
    peaks.push_back(steps[1].peakMb);
    std::printf("  %s round %d: bare %.2f s, program %.2f s (peak %.0f MB): %.2f\n", name, round + 1, bare.back(),
                program.back(), peaks.back(), ratios.back());
  }
  std::printf("%s: median program %.2f s, bare %.2f s, peak %.0f MB; median ratio %.2f (goal: 1.3 at most)\n", name,
              Median(program), Median(bare), Median(peaks), Median(ratios));
}

}  // namespace

int main(int argc, char** argv) {
  wchar_t temp[MAX_PATH] = L"";
  GetTempPathW(MAX_PATH, temp);
  const std::wstring scratch = std::wstring(temp) + L"ombrelay_scale_bench";
  const std::wstring list = scratch + L"\\list.txt";
  const std::string what = argc > 1 ? argv[1] : "all";
  if (what == "--walk-once") return WithPeak(scratch, WalkOnce(scratch));
  if (what == "--walk-delete-once") return WithPeak(scratch, WalkAndDeleteOnce(scratch));
  if (what == "--preview-once") return WithPeak(scratch, PreviewOnce(list));
  if (what == "--run-once") return WithPeak(scratch, RunOnce(list));
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 2;
  CreateDirectoryW(scratch.c_str(), nullptr);
  std::vector<listfile::Record> records;
  for (const routines::Entry& e : routines::ReadRoutines(RoutinesText()).entries)
    records.push_back(listfile::RoutineRecord(routines::ListRoutine(e)));
  std::wstring reason;
  if (!base::files::WriteAll(list, listbytes::EncodeList(records, L"pw"), reason)) {
    std::printf("the list could not be written\n");
    return 1;
  }
  const auto start = std::chrono::steady_clock::now();
  std::vector<std::wstring> walked = MakeProfile();
  std::string lines;
  for (const std::wstring& w : walked) lines += base::enc::ToUtf8(w) + "\n";
  base::files::WriteAll(WalkedListPath(scratch), lines, reason);
  std::printf("%zu routines listed, %zu folders to walk made in %.1f s\n", records.size(), walked.size(),
              Millis(start) / 1000);
  if (what == "preview" || what == "all")
    Section("preview", rounds, scratch, L"--preview-once", L"--walk-once", nullptr);
  if (what == "run" || what == "all")
    Section("run", rounds, scratch, L"--run-once", L"--walk-delete-once", [] { MakeProfile(); });
  RemoveProfile();
  RemoveTree(scratch);
  return 0;
}
