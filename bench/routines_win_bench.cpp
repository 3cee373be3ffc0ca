// Benchmark of the cleaning routines against the bare work they stand on:
//   open:  opening a routines file of the community file's size (4,000
//          entries, bench/routines_sample.h) and deciding which entries fit
//          (every Detect key and DetectFile path looked at through the
//          routines' own code, on two threads), against the bare existence
//          checks of the same keys and paths (RegOpenKeyExW,
//          GetFileAttributesW) on one, already spelled out;
//   size:  the answer for 50 routines, each over two profiles' caches, 50,000
//          files in all, counted as the routines window sizes them, against
//          a bare walk of those folders on two threads;
//   run:   the whole removal run of a list of those 50 routines (REMOVESELF),
//          from reading the list to the closing message, against the bare
//          two-thread walk plus the two-thread delete loop of what they take.
// Each section runs in turns, the order swapped every round, with the ratio
// of the two (goal: at most 1.10 each).
// Usage: routines_win_bench [open|size|run|all] [rounds]   (default: all, 3)
// What it makes lives in %LOCALAPPDATA%\OmbrelayBench and
// HKCU\Software\OmbrelayBench, and is removed at the end.
#include <windows.h>
#include <shlobj.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "base/encoding.h"
#include "base/file_io.h"
#include "base/paths.h"
#include "base/worker_pool.h"
#include "bare_walk_win.h"
#include "list_bytes.h"
#include "listfile/list_file.h"
#include "removal/removal_run_win.h"
#include "removal/routine_answer_win.h"
#include "routines/detection_checks_win.h"
#include "routines/routines_file_win.h"
#include "routines/variables_win.h"
#include "routines_sample.h"

namespace {

constexpr int kApps = 50, kProfiles = 2, kSubfolders = 10, kFiles = 50;  // 50,000 files
const wchar_t kKeyBase[] = L"Software\\OmbrelayBench";

double Seconds(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::wstring Wide(const std::string& text) { return base::enc::FromUtf8(text); }

std::wstring LocalAppData() {
  PWSTR path = nullptr;
  std::wstring folder;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &path))) folder = path;
  CoTaskMemFree(path);
  return folder;
}

using bench::RemoveTree;

// --- open -----------------------------------------------------------------

// What the bare checks look at: each entry's detection, spelled out.
struct Detection {
  bool key = false;
  std::wstring path;  // a key below HKCU, or a full path
};

// The file read as the routines window reads it.
routines::RoutinesFile ReadFile(const std::wstring& file, std::string& bytes) {
  routines::RoutinesFile read;
  if (!routines::ReadRoutinesBytes(file, bytes, read.problem)) return read;
  return routines::ReadRoutines(bytes);
}

double OpenRound(const std::wstring& file, const std::vector<Detection>& detections, bool program, size_t& fit) {
  const auto start = std::chrono::steady_clock::now();
  fit = 0;
  if (program) {
    // As the routines window's survey does it, its two workers one after
    // the other here: the file read, the values picked from its lines and
    // checked on two threads, then each entry's fit.
    std::string bytes;
    const routines::RoutinesFile read = ReadFile(file, bytes);
    const routines::SystemVariables variables;
    const std::atomic<bool> stop{false};
    routines::DetectionChecks checks(bytes);
    checks.Prepare(variables.Lookup(), stop);
    base::OnThreads(2, 2, stop, [&](size_t, size_t) { checks.CheckAll(variables.Lookup(), stop, stop); });
    for (char f : checks.DecideFits(read.entries, variables.Lookup(), stop)) fit += f;
    return Seconds(start);
  }
  for (const Detection& d : detections) {
    if (d.key) {
      HKEY key = nullptr;
      if (RegOpenKeyExW(HKEY_CURRENT_USER, d.path.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
        RegCloseKey(key);
        ++fit;
      }
    } else {
      fit += GetFileAttributesW(d.path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }
  }
  return Seconds(start);
}

void OpenSection(const std::wstring& root, int rounds) {
  const std::wstring file = root + L"\\routines.ini";
  const std::string text =
      sample::RoutinesFile(sample::kEntries, "%LocalAppData%\\OmbrelayBench", "HKCU\\Software\\OmbrelayBench");
  std::wstring reason;
  if (!base::files::WriteAll(file, text, reason)) std::printf("the routines file could not be written\n");
  // A quarter of the programs are there.
  std::vector<Detection> detections;
  for (size_t i = 0; i < sample::kEntries; ++i) {
    const std::wstring folder = root + L"\\" + Wide(sample::ProgramFolder(i));
    const std::wstring key = std::wstring(kKeyBase) + L"\\Vendor" + std::to_wstring(i) + L"\\Program";
    const bool there = i % 4 == 1;
    if (sample::DetectedByKey(i)) {
      detections.push_back({true, key});
      if (there) {
        HKEY made = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &made, nullptr) ==
            ERROR_SUCCESS)
          RegCloseKey(made);
      }
    } else {
      detections.push_back({false, folder});
      if (there) SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    }
  }
  std::printf("open: %zu bytes, %zu entries\n", text.size(), sample::kEntries);
  std::vector<double> ratios;
  for (int round = 0; round < rounds; ++round) {
    double seconds[2] = {};
    size_t fit[2] = {};
    for (int step = 0; step < 2; ++step) {
      const int k = (step + round) % 2;
      seconds[k] = OpenRound(file, detections, k == 1, fit[k]);
    }
    ratios.push_back(seconds[1] / seconds[0]);
    std::printf("  round %d: bare checks %.3f s (%zu there), open and decide %.3f s (%zu fit): %.3f\n", round + 1,
                seconds[0], fit[0], seconds[1], fit[1], ratios.back());
  }
  // The file's reading alone, for the record.
  const auto start = std::chrono::steady_clock::now();
  std::string bytes;
  const routines::RoutinesFile read = ReadFile(file, bytes);
  std::printf("  reading the file alone: %.3f s (%zu entries)\n", Seconds(start), read.entries.size());
  RegDeleteTreeW(HKEY_CURRENT_USER, kKeyBase);
}

// --- size and run -----------------------------------------------------------

// Each app's two profiles' caches below `root`, made.
void MakeApps(const std::wstring& root) {
  CreateDirectoryW(root.c_str(), nullptr);
  for (int a = 0; a < kApps; ++a) {
    const std::wstring app = root + L"\\App" + std::to_wstring(a);
    CreateDirectoryW(app.c_str(), nullptr);
    for (int p = 0; p < kProfiles; ++p) {
      const std::wstring cache = app + L"\\Profile " + std::to_wstring(p);
      CreateDirectoryW(cache.c_str(), nullptr);
      CreateDirectoryW((cache + L"\\Cache").c_str(), nullptr);
      for (int s = 0; s < kSubfolders; ++s) {
        const std::wstring sub = cache + L"\\Cache\\s" + std::to_wstring(s);
        CreateDirectoryW(sub.c_str(), nullptr);
        for (int f = 0; f < kFiles; ++f) {
          HANDLE h = CreateFileW((sub + L"\\f_" + std::to_wstring(f) + L".tmp").c_str(), GENERIC_WRITE, 0, nullptr,
                                 CREATE_ALWAYS, 0, nullptr);
          if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
        }
      }
    }
  }
}

std::vector<std::wstring> CacheFolders(const std::wstring& root) {
  std::vector<std::wstring> caches;
  for (int a = 0; a < kApps; ++a)
    for (int p = 0; p < kProfiles; ++p)
      caches.push_back(root + L"\\App" + std::to_wstring(a) + L"\\Profile " + std::to_wstring(p) + L"\\Cache");
  return caches;
}

// The 50 routines over `tree` (below %LocalAppData%\OmbrelayBench).
std::vector<listfile::Routine> AppRoutines(const std::wstring& tree, bool removeSelf) {
  std::string text;
  for (int a = 0; a < kApps; ++a)
    text += "[App " + std::to_string(a) + " Cache *]\nDetectFile=%LocalAppData%\\OmbrelayBench\\" +
            base::enc::ToUtf8(tree) + "\\App" + std::to_string(a) + "\nFileKey1=%LocalAppData%\\OmbrelayBench\\" +
            base::enc::ToUtf8(tree) + "\\App" + std::to_string(a) + "\\Profile*\\Cache|*.*|" +
            (removeSelf ? "REMOVESELF" : "RECURSE") + "\n";
  std::vector<listfile::Routine> routines;
  for (const routines::Entry& e : routines::ReadRoutines(text).entries) routines.push_back(routines::ListRoutine(e));
  return routines;
}

// The bare walk of the caches on two threads: every file's path and folder.
double BareWalk(const std::vector<std::wstring>& caches, std::vector<std::wstring>& files,
                std::vector<std::wstring>& folders) {
  const auto start = std::chrono::steady_clock::now();
  std::vector<std::wstring> found[2];
  size_t counted[2] = {};
  std::vector<std::thread> walkers;
  for (int t = 0; t < 2; ++t)
    walkers.emplace_back([&, t] {
      for (size_t c = t; c < caches.size(); c += 2) bench::MinimalWalk(caches[c], found[t], counted[t]);
    });
  for (std::thread& w : walkers) w.join();
  files = std::move(found[0]);
  files.insert(files.end(), found[1].begin(), found[1].end());
  for (const std::wstring& cache : caches) {
    for (int s = 0; s < kSubfolders; ++s) folders.push_back(cache + L"\\s" + std::to_wstring(s));
    folders.push_back(cache);
  }
  return Seconds(start);
}

void SizeSection(const std::wstring& root, int rounds) {
  MakeApps(root + L"\\Size");
  const std::vector<std::wstring> caches = CacheFolders(root + L"\\Size");
  const std::vector<listfile::Routine> routines = AppRoutines(L"Size", false);
  const routines::SystemVariables variables;
  std::printf("size: %d routines over %d files\n", kApps, kApps * kProfiles * kSubfolders * kFiles);
  for (int round = 0; round < rounds; ++round) {
    double seconds[2] = {};
    uint64_t counted[2] = {};
    for (int step = 0; step < 2; ++step) {
      const int k = (step + round) % 2;
      if (k == 0) {
        std::vector<std::wstring> files, folders;
        seconds[0] = BareWalk(caches, files, folders);
        counted[0] = files.size();
        continue;
      }
      // As the routines window sizes them: their fit decided already.
      const auto start = std::chrono::steady_clock::now();
      const removal::NeverTaken never;
      const std::atomic<bool> stop{false};
      std::vector<const listfile::Routine*> asked;
      for (const listfile::Routine& r : routines) asked.push_back(&r);
      std::atomic<uint64_t> files{0};
      removal::AnswerRoutines(asked, removal::Fit::Fits, variables.Lookup(), never, false, removal::kRoutinesSideBySide,
                              stop, [&](size_t, removal::RoutineAnswer&& answer, size_t) { files += answer.files; });
      counted[1] = files;
      seconds[1] = Seconds(start);
    }
    std::printf("  round %d: bare two-thread walk %.3f s (%llu files), sizing %.3f s (%llu files): %.3f\n", round + 1,
                seconds[0], static_cast<unsigned long long>(counted[0]), seconds[1],
                static_cast<unsigned long long>(counted[1]), seconds[1] / seconds[0]);
  }
  RemoveTree(root + L"\\Size");
}

void RunSection(const std::wstring& root, int rounds) {
  std::printf("run: a list of %d routines (REMOVESELF) over %d files\n", kApps,
              kApps * kProfiles * kSubfolders * kFiles);
  for (int round = 0; round < rounds; ++round) {
    const wchar_t* trees[] = {L"Run_w", L"Run_r"};
    {
      std::thread other([&] { MakeApps(root + L"\\" + trees[1]); });
      MakeApps(root + L"\\" + trees[0]);
      other.join();
    }
    double seconds[2] = {};
    std::wstring closing;
    for (int step = 0; step < 2; ++step) {
      const int k = (step + round) % 2;
      if (k == 0) {
        std::vector<std::wstring> files, folders;
        const double walk = BareWalk(CacheFolders(root + L"\\" + trees[0]), files, folders);
        const auto start = std::chrono::steady_clock::now();
        std::thread other([&] {
          for (size_t i = 1; i < files.size(); i += 2) DeleteFileW(files[i].c_str());
        });
        for (size_t i = 0; i < files.size(); i += 2) DeleteFileW(files[i].c_str());
        other.join();
        size_t left = 0;
        for (const std::wstring& f : folders) left += !RemoveDirectoryW(f.c_str());
        seconds[0] = walk + Seconds(start);
        if (left) std::printf("    bare: %zu folders could not be removed at once\n", left);
        std::printf("    bare: walk %.2f, delete %.2f s\n", walk, seconds[0] - walk);
        continue;
      }
      std::vector<listfile::Record> records;
      for (const listfile::Routine& r : AppRoutines(trees[1], true)) records.push_back(listfile::RoutineRecord(r));
      const std::wstring list = root + L"\\list.txt";
      std::wstring reason;
      if (!base::files::WriteAll(list, listbytes::EncodeList(records, L"pw"), reason))
        std::printf("    the list could not be written\n");
      const auto start = std::chrono::steady_clock::now();
      removal::RemovalRun run(list);
      std::wstring problem;
      if (!run.Read(problem)) std::printf("  the list could not be read\n");
      closing = run.Run(removal::Disposal::Delete, nullptr).text;
      seconds[1] = Seconds(start);
      const removal::RunResult& r = run.Result();
      std::printf("    run by step: routines %.2f, fate check %.2f, files %.2f, folders %.2f, tally %.2f s\n",
                  r.rulesSeconds, r.checkSeconds, r.filesSeconds, r.foldersSeconds, r.tallySeconds);
      DeleteFileW(list.c_str());
    }
    std::wstring shown = closing.substr(0, 120);
    for (wchar_t& c : shown)
      if (c == L'\n') c = L' ';
    std::printf("  round %d: bare walk and delete %.3f s, run %.3f s (\"%s\"): %.3f\n", round + 1, seconds[0],
                seconds[1], base::enc::ToUtf8(shown).c_str(), seconds[1] / seconds[0]);
    for (const wchar_t* tree : trees) RemoveTree(root + L"\\" + tree);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::string what = argc > 1 ? argv[1] : "all";
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
  const std::wstring root = LocalAppData() + L"\\OmbrelayBench";
  CreateDirectoryW(root.c_str(), nullptr);
  if (what == "open" || what == "all") OpenSection(root, rounds);
  if (what == "size" || what == "all") SizeSection(root, rounds);
  if (what == "run" || what == "all") RunSection(root, rounds);
  RemoveTree(root);
  return 0;
}
