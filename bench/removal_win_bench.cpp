// Benchmark of the removal run and the delete-list file on a tree of 100,000
// files in 5,050 folders (50 folders of 100 subfolders, 20 files in each
// subfolder), listed as the add command lists it: 105,051 entries.
//   (a2) the minimal delete loop: DeleteFileW for every file, the files
//        split between two threads, then RemoveDirectoryW for every folder,
//        deepest first;
//   (b)  the whole removal run as the prompt runs it, from the confirmation
//        to the closing message: reading and planning the list file, the
//        fate check, both passes, the tally and the closing message;
// each on its own identical tree, the order swapped every round, printed
// with the run's steps and the ratio b/a2; then (a) the same loop on one
// thread once, and the save and load of the whole list. Last, a rule round:
//   (w)  a bare walk of the tree with FindFirstFileExW on two threads, then
//        the minimal delete loop on two threads;
//   (r)  the whole run of a list holding one rule over the tree (all files,
//        with subfolders, emptied subfolders removed);
// on two identical trees, with the ratio r/w.
// Usage: removal_win_bench [--with-data] [--rule-only] [rounds] [scratch folder]
//        (default: 3 rounds of empty files in %TEMP%\ombrelay_bench;
//        --with-data writes one byte into each file, which on some disks
//        makes every delete wait for the block allocator, one at a time)
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/delete_list.h"
#include "base/encoding.h"
#include "base/file_io.h"
#include "base/paths.h"
#include "base/worker_pool.h"
#include "list_bytes.h"
#include "listfile/list_file.h"
#include "removal/chunked_pass.h"
#include "removal/link_guard.h"
#include "removal/removal_passes_win.h"
#include "removal/removal_plan.h"
#include "removal/removal_run_win.h"

namespace {

constexpr int kTop = 50, kSub = 100, kFiles = 20;
bool g_withData = false;

double Seconds(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::wstring Two(int n) { return (n < 10 ? L"0" : L"") + std::to_wstring(n); }

// Makes the tree and gives back its records in the add command's order: the
// folder itself, its subfolders (each after the folder holding it), files.
std::vector<listfile::Record> MakeTree(const std::wstring& root) {
  std::vector<listfile::Record> folders{{root + L"\\", L"Folder"}}, files;
  CreateDirectoryW(root.c_str(), nullptr);
  for (int t = 0; t < kTop; ++t) {
    const std::wstring top = root + L"\\folder_" + Two(t);
    CreateDirectoryW(top.c_str(), nullptr);
    folders.push_back({top + L"\\", L"Folder"});
    for (int s = 0; s < kSub; ++s) {
      const std::wstring sub = top + L"\\subfolder_" + Two(s);
      CreateDirectoryW(sub.c_str(), nullptr);
      folders.push_back({sub + L"\\", L"Folder"});
      for (int f = 0; f < kFiles; ++f) {
        const std::wstring file = sub + L"\\document_" + Two(f) + L".txt";
        HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
          DWORD wrote = 0;
          if (g_withData) WriteFile(h, "x", 1, &wrote, nullptr);
          CloseHandle(h);
        }
        files.push_back({file, L"File"});
      }
    }
  }
  folders.insert(folders.end(), files.begin(), files.end());
  return folders;
}

struct Split {
  std::vector<const std::wstring*> files, folders;
};
Split SplitRecords(const std::vector<listfile::Record>& records) {
  Split split;
  for (const listfile::Record& r : records) (r.type == L"File" ? split.files : split.folders).push_back(&r.path);
  return split;
}

void DeleteRange(const std::vector<const std::wstring*>& files, size_t from, size_t to) {
  for (size_t i = from; i < to; ++i) DeleteFileW(files[i]->c_str());
}

// The baselines: every file (on one thread or two), then every folder from
// the deepest up.
double MinimalLoop(const std::vector<listfile::Record>& records, size_t threads) {
  const Split split = SplitRecords(records);
  const size_t n = split.files.size();
  const auto start = std::chrono::steady_clock::now();
  std::vector<std::thread> helpers;
  for (size_t t = 1; t < threads; ++t)
    helpers.emplace_back(DeleteRange, std::cref(split.files), n * t / threads, n * (t + 1) / threads);
  DeleteRange(split.files, 0, n / threads);
  for (std::thread& h : helpers) h.join();
  for (auto d = split.folders.rbegin(); d != split.folders.rend(); ++d) RemoveDirectoryW((*d)->c_str());
  return Seconds(start);
}

// The run's time by step, summed over the rounds.
struct RunSteps {
  double read = 0, rules = 0, check = 0, files = 0, folders = 0, tally = 0, closing = 0, total = 0;
};

// The whole run as the prompt drives it, on a list file saved for the tree.
double WholeRun(const std::vector<listfile::Record>& records, const std::wstring& listPath, RunSteps& steps,
                size_t& leftovers) {
  std::wstring unwritten;
  if (!base::files::WriteAll(listPath, listbytes::EncodeList(records, L"pw"), unwritten))
    std::printf("  the list could not be written\n");
  removal::RemovalRun run(listPath);
  size_t calls = 0;
  const auto start = std::chrono::steady_clock::now();
  std::wstring problem;
  if (!run.Read(problem)) std::printf("  the list could not be read\n");
  const double read = Seconds(start);
  const removal::ClosingMessage closing = run.Run(removal::Disposal::Delete, [&](size_t, size_t) { ++calls; });
  const double total = Seconds(start);
  const removal::RunResult& r = run.Result();
  leftovers = r.leftovers.size();
  const double passes = r.rulesSeconds + r.checkSeconds + r.filesSeconds + r.foldersSeconds + r.tallySeconds;
  steps.read += read;
  steps.rules += r.rulesSeconds;
  steps.check += r.checkSeconds;
  steps.files += r.filesSeconds;
  steps.folders += r.foldersSeconds;
  steps.tally += r.tallySeconds;
  steps.closing += total - read - passes;
  steps.total += total;
  std::wstring shown = closing.text.substr(0, 160);
  std::replace(shown.begin(), shown.end(), L'\n', L' ');
  std::printf(
      "    read+plan %.2f, rules %.2f, fate check %.2f, files %.2f, folders %.2f, tally %.2f, closing %.2f s; "
      "%zu progress calls; \"%s\"\n",
      read, r.rulesSeconds, r.checkSeconds, r.filesSeconds, r.foldersSeconds, r.tallySeconds, total - read - passes,
      calls, base::enc::ToUtf8(shown).c_str());
  DeleteFileW(listPath.c_str());
  return total;
}

bool Gone(const std::wstring& root) { return GetFileAttributesW(root.c_str()) == INVALID_FILE_ATTRIBUTES; }

// As the main window's Save and Load commands do it.
void SaveAndLoad(const std::vector<listfile::Record>& records, const std::wstring& listPath) {
  app::DeleteList list;
  for (const listfile::Record& r : records) list.Append(r.path, r.type);

  auto start = std::chrono::steady_clock::now();
  std::wstring reason;
  const bool written =
      base::files::WriteAll(listPath, listfile::EncodeRecordTexts(list.RecordTexts(), L"password"), reason);
  const double save = Seconds(start);
  const size_t saved = list.Count();

  start = std::chrono::steady_clock::now();
  std::string bytes;
  if (!listfile::ReadListFile(listPath, bytes, reason)) std::printf("load failed\n");
  listfile::ListContent loaded = listfile::ReadListTexts(std::move(bytes));
  list.Clear();
  list.Reserve(loaded.records.size());
  for (std::wstring& r : loaded.records) list.AppendRecord(std::exchange(r, std::wstring()));
  const double load = Seconds(start);

  std::printf("save of %zu entries: %.3f s (%s)\nload of %zu entries: %.3f s\n", saved, save,
              written ? "written" : "FAILED", list.Count(), load);
  DeleteFileW(listPath.c_str());
}

// What the run adds to each item before it deletes: the verbatim form of
// every path, and the look for listed folders that have become links (on
// one thread here; the run spreads those looks over its workers).
void PathCheckCosts(const std::vector<listfile::Record>& records) {
  const removal::Plan plan = removal::MakePlan(records);
  auto start = std::chrono::steady_clock::now();
  size_t characters = 0;
  for (const std::wstring& path : plan.files) characters += base::paths::Verbatim(path).size();
  for (const std::wstring& path : plan.folders) characters += base::paths::Verbatim(path).size();
  const double verbatim = Seconds(start);
  start = std::chrono::steady_clock::now();
  removal::LinkGuard guard(plan.folders, plan.files);
  const double guardMade = Seconds(start);
  size_t links = 0;
  for (const std::wstring& folder : guard.FoldersAbove()) {
    const DWORD attributes = GetFileAttributesW(base::paths::Verbatim(folder).c_str());
    links += attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
  }
  const double looked = Seconds(start) - guardMade;
  std::printf(
      "path checks on %zu entries: verbatim forms %.1f ms (%zu characters), link guard %.1f ms, "
      "looks at %zu listed folders %.1f ms (%zu links)\n",
      records.size(), verbatim * 1000, characters, guardMade * 1000, guard.FoldersAbove().size(), looked * 1000, links);
}

// One round: two identical trees (made side by side), then (a2) and (b)
// in the order this round takes.
double Round(int round, const std::wstring& scratch, RunSteps& steps) {
  const wchar_t* names[] = {L"\\tree_a2", L"\\tree_b"};
  std::vector<listfile::Record> trees[2];
  auto start = std::chrono::steady_clock::now();
  {
    std::vector<std::thread> makers;
    for (int k = 0; k < 2; ++k) makers.emplace_back([&, k] { trees[k] = MakeTree(scratch + names[k]); });
    for (std::thread& m : makers) m.join();
  }
  std::printf("round %d: two trees of %zu entries made in %.1f s\n", round + 1, trees[0].size(), Seconds(start));
  double seconds[2] = {};
  size_t leftovers = 0;
  for (int step = 0; step < 2; ++step) {
    const int k = (step + round) % 2;
    if (k == 0) {
      seconds[k] = MinimalLoop(trees[k], 2);
      std::printf("  (a2) minimal loop, 2 threads: %6.2f s (tree %s)\n", seconds[k],
                  Gone(scratch + names[k]) ? "gone" : "NOT gone");
    } else {
      std::printf("  (b) whole removal run:\n");
      seconds[k] = WholeRun(trees[k], scratch + L"\\list_b.txt", steps, leftovers);
      std::printf("  (b) whole removal run:        %6.2f s (tree %s, %zu left)\n", seconds[k],
                  Gone(scratch + names[k]) ? "gone" : "NOT gone", leftovers);
    }
  }
  const double ratio = seconds[1] / seconds[0];
  std::printf("  b/a2 = %.3f (goal: at most 1.10)\n", ratio);
  return ratio;
}

// Every file below `folder`, listed one folder at a time; links not entered.
void BareWalk(const std::wstring& folder, size_t& files) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                 FIND_FIRST_EX_LARGE_FETCH);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      ++files;
    } else if (!(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && std::wcscmp(data.cFileName, L".") != 0 &&
               std::wcscmp(data.cFileName, L"..") != 0) {
      BareWalk(folder + L"\\" + data.cFileName, files);
    }
  } while (FindNextFileW(find, &data));
  FindClose(find);
}

// The tree's top folders split between two threads.
double BareWalkTwoThreads(const std::wstring& root, size_t& files) {
  const auto start = std::chrono::steady_clock::now();
  size_t counted[2] = {};
  std::vector<std::thread> walkers;
  for (int t = 0; t < 2; ++t)
    walkers.emplace_back([&, t] {
      for (int top = t; top < kTop; top += 2) BareWalk(root + L"\\folder_" + Two(top), counted[t]);
    });
  for (std::thread& w : walkers) w.join();
  files = counted[0] + counted[1];
  return Seconds(start);
}

// (w) and (r) on two identical trees, in turns by round.
double RuleRound(int round, const std::wstring& scratch) {
  const wchar_t* names[] = {L"\\tree_w", L"\\tree_r"};
  std::vector<listfile::Record> trees[2];
  {
    std::vector<std::thread> makers;
    for (int k = 0; k < 2; ++k) makers.emplace_back([&, k] { trees[k] = MakeTree(scratch + names[k]); });
    for (std::thread& m : makers) m.join();
  }
  double seconds[2] = {};
  for (int step = 0; step < 2; ++step) {
    const int k = (step + round) % 2;
    if (k == 0) {
      size_t files = 0;
      const double walk = BareWalkTwoThreads(scratch + names[k], files);
      const double loop = MinimalLoop(trees[k], 2);
      seconds[k] = walk + loop;
      std::printf("  (w) bare walk %.2f s (%zu files) + minimal loop %.2f s = %6.2f s\n", walk, files, loop,
                  seconds[k]);
      continue;
    }
    const std::wstring root = scratch + names[k] + L"\\";
    const std::vector<listfile::Record> rule{{root, L"Rule|names=|except=|age=|subfolders=yes|emptied=yes"}};
    RunSteps steps;
    size_t leftovers = 0;
    std::printf("  (r) whole run of one rule:\n");
    seconds[k] = WholeRun(rule, scratch + L"\\list_r.txt", steps, leftovers);
    std::printf("  (r) whole run of one rule:    %6.2f s (%zu left)\n", seconds[k], leftovers);
    RemoveDirectoryW((scratch + names[k]).c_str());  // the rule's own folder stays
  }
  const double ratio = seconds[1] / seconds[0];
  std::printf("rule round %d: r/w = %.3f (goal: at most 1.10)\n", round + 1, ratio);
  return ratio;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--with-data") == 0) {
    g_withData = true;
    --argc;
    ++argv;
  }
  bool ruleOnly = false;
  if (argc > 1 && std::strcmp(argv[1], "--rule-only") == 0) {
    ruleOnly = true;
    --argc;
    ++argv;
  }
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  std::wstring scratch;
  if (argc > 2) {
    scratch.assign(argv[2], argv[2] + std::strlen(argv[2]));
  } else {
    wchar_t temp[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH, temp);
    scratch = std::wstring(temp) + L"ombrelay_bench";
  }
  CreateDirectoryW(scratch.c_str(), nullptr);
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  std::printf("%lu logical processors, %zu removal workers\n", info.dwNumberOfProcessors, removal::DeleteWorkerCount());

  if (ruleOnly) {
    for (int r = 0; r < rounds; ++r) RuleRound(r, scratch);
    RemoveDirectoryW(scratch.c_str());
    return 0;
  }
  double low = 1e9, high = 0;
  RunSteps steps;
  for (int r = 0; r < rounds; ++r) {
    const double ratio = Round(r, scratch, steps);
    low = std::min(low, ratio);
    high = std::max(high, ratio);
  }
  std::printf("over %d rounds: b/a2 %.3f to %.3f\n", rounds, low, high);
  std::printf(
      "the run's mean time by step: read+plan %.2f, fate check %.2f, files %.2f, folders %.2f, tally %.2f, "
      "closing %.2f; whole run %.2f s\n",
      steps.read / rounds, steps.check / rounds, steps.files / rounds, steps.folders / rounds, steps.tally / rounds,
      steps.closing / rounds, steps.total / rounds);

  const std::vector<listfile::Record> once = MakeTree(scratch + L"\\tree_a");
  std::printf("(a) minimal loop, 1 thread: %.2f s\n", MinimalLoop(once, 1));
  const std::vector<listfile::Record> list = MakeTree(scratch + L"\\tree_list");
  SaveAndLoad(list, scratch + L"\\list.txt");
  PathCheckCosts(list);
  MinimalLoop(list, 2);
  RuleRound(0, scratch);
  RemoveDirectoryW(scratch.c_str());
  return 0;
}
