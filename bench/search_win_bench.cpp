// Benchmark of the folder search on a generated tree of 100,000 files in
// 5,050 folders: (a) a minimal FindFirstFileExW walker as the baseline,
// (a2) the same walker splitting the top folders over 2 threads,
// (b) FileFinder::SearchFile, (c) the whole add command through the real
// program, from the click on "Add" to "<n> items loaded...". Times are the
// best of several runs, given as ratios to (a) and (a2), with peak memory.
// Rounds of SearchFile alone in a fresh process, the same in a fresh process
// that shows a window and its status as the program does, and the add
// command's own part (from the last question answered to "<n> items
// loaded...") alternate with the cold walks, in an order that lets each
// run follow each other equally often; each round gives their ratios, and
// the medians close. Then how soon StopSearch ends a search and how long a
// window message waits while one runs. Last, (e) the rule window's live
// count of a rule that takes every file of the tree, against SearchFile
// alone, each in a fresh process, in rounds.
//   search_win_bench [--add-only | --count-only] [--rounds=N] [path of ombrelay.exe]
// --add-only and --count-only leave out everything but those rounds.
#include <windows.h>

#include <commctrl.h>
#include <psapi.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "bare_walk_win.h"
#include "fresh_process_win.h"
#include "base/worker_pool.h"
#include "listfile/folder_rule.h"
#include "removal/rule_answer_win.h"
#include "search/file_find_win.h"
#include "search/file_tally_win.h"
#include "search/search_result.h"

namespace {

using bench::Median;
using bench::Millis;
using bench::MinimalWalk;
using bench::RunSelfOnce;
using bench::SetStartUpDefaults;
using bench::TwoThreadWalk;
using bench::VisibleTop;
using bench::WaitWindow;

const std::wstring kTree = L"C:\\searchbench";
const std::wstring kMarker = L"C:\\searchbench.done";
constexpr int kTop = 50, kSub = 100, kFilesPerLeaf = 20;  // 50 + 5,000 folders, 100,000 files
// The machine is shared: runs of (a) and (b) alternate and the best of each counts.
constexpr int kRuns = 7;
constexpr int kProgramRuns = 5;
constexpr DWORD kPollMs = 10;

double MiB(SIZE_T bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

PROCESS_MEMORY_COUNTERS Memory(HANDLE process) {
  PROCESS_MEMORY_COUNTERS pmc{};
  pmc.cb = sizeof pmc;
  GetProcessMemoryInfo(process, &pmc, sizeof pmc);
  return pmc;
}

bool MakeTree() {
  if (GetFileAttributesW(kMarker.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
  CreateDirectoryW(kTree.c_str(), nullptr);
  for (int t = 0; t < kTop; ++t) {
    std::wstring top = kTree + L"\\top" + std::to_wstring(t);
    CreateDirectoryW(top.c_str(), nullptr);
    for (int s = 0; s < kSub; ++s) {
      std::wstring leaf = top + L"\\sub" + std::to_wstring(s);
      CreateDirectoryW(leaf.c_str(), nullptr);
      for (int f = 0; f < kFilesPerLeaf; ++f) {
        std::wstring file = leaf + L"\\file" + std::to_wstring(f) + L".dat";
        HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) return false;
        CloseHandle(h);
      }
    }
  }
  HANDLE h = CreateFileW(kMarker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  CloseHandle(h);
  return true;
}

double Timed(const std::function<void()>& run) {
  auto start = std::chrono::steady_clock::now();
  run();
  return Millis(start);
}

// --- (c): driving the real program -------------------------------------

// A buffer inside the program, for messages that carry pointers.
class RemoteBuffer {
 public:
  RemoteBuffer(HANDLE process, SIZE_T size) : process_(process) {
    mem_ = VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  }
  ~RemoteBuffer() {
    if (mem_) VirtualFreeEx(process_, mem_, 0, MEM_RELEASE);
  }
  LPARAM Address() const { return reinterpret_cast<LPARAM>(mem_); }
  bool Write(const void* data, SIZE_T n) { return WriteProcessMemory(process_, mem_, data, n, nullptr); }
  bool Read(void* data, SIZE_T n) { return ReadProcessMemory(process_, mem_, data, n, nullptr); }

 private:
  HANDLE process_;
  void* mem_;
};

// Looks at the program's status bar while it works. Each look is one
// message the program must answer, and that answer carries the text's
// length; the text itself is read out of the program only when it has the
// length awaited. So a look costs the program and the Wine server, which
// the search also waits on, as little as it can. A status is at most a
// path and a few words, so the buffer holds any.
constexpr SIZE_T kStatusBufferBytes = 2 * 65536;

class StatusWatch {
 public:
  StatusWatch(HWND main, RemoteBuffer& buffer)
      : bar_(FindWindowExW(main, nullptr, STATUSCLASSNAMEW, nullptr)), buffer_(buffer) {}

  // True when the status reads `awaited`: the one message both gives the
  // length and copies the text, so no repaint can fall between the two.
  bool Reads(const std::wstring& awaited) {
    const size_t length = Length();
    return length == awaited.size() && Copied(length) == awaited;
  }

  std::wstring Text() { return Copied(Length()); }

 private:
  // The simple status first, as the program shows it, then the first part.
  size_t Length() {
    for (WPARAM part : {WPARAM(SB_SIMPLEID), WPARAM(0)}) {
      if (const size_t length = LOWORD(SendMessageW(bar_, SB_GETTEXTW, part, buffer_.Address()))) return length;
    }
    return 0;
  }

  // The text the last look copied into the buffer.
  std::wstring Copied(size_t length) {
    std::vector<wchar_t> text(length + 1);
    if (length == 0 || length >= kStatusBufferBytes / sizeof(wchar_t) ||
        !buffer_.Read(text.data(), text.size() * sizeof(wchar_t)))
      return std::wstring();
    return std::wstring(text.data(), length);
  }

  HWND bar_;
  RemoteBuffer& buffer_;
};

void Press(HWND dialog, int id) { PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

struct AddFigures {
  double ms = -1;
  double browserShown = 0, questionsDone = 0;  // when these steps ended
  double otherSeen = 0;                        // when a status not yet the awaited one was seen last
  size_t peakBefore = 0, peakAfter = 0;
  std::wstring status;
  // The add command's own part: from the last question to the final status.
  double Own() const { return ms - questionsDone; }
};

// Clicks Add, picks the tree in the folder browser, answers Yes twice and
// waits for the final status text.
AddFigures TimeAddCommand(HANDLE process, HWND main, const std::wstring& expected) {
  AddFigures figures;
  figures.peakBefore = Memory(process).PeakWorkingSetSize;
  RemoteBuffer buffer(process, kStatusBufferBytes);
  auto start = std::chrono::steady_clock::now();
  PostMessageW(GetDlgItem(main, 105), BM_CLICK, 0, 0);
  HWND browser = WaitWindow([] { return VisibleTop(L"#32770", L"Browse for Folder"); });
  if (!browser) return figures;
  figures.browserShown = Millis(start);
  buffer.Write(kTree.c_str(), (kTree.size() + 1) * sizeof(wchar_t));
  SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, buffer.Address());
  Press(browser, IDOK);
  HWND first = WaitWindow([] { return VisibleTop(L"#32770", L"Directory"); });
  if (!first) return figures;
  Press(first, IDYES);
  HWND second = WaitWindow([&] { return VisibleTop(L"#32770", L"Directory", first); });
  if (!second) return figures;
  Press(second, IDYES);
  figures.questionsDone = Millis(start);
  // A gentle poll keeps the measurement from slowing the program down.
  StatusWatch status(main, buffer);
  bool done = false;
  for (int i = 0; i < 60000 && !done; ++i) {
    done = status.Reads(expected);
    if (!done) {
      figures.otherSeen = Millis(start);
      Sleep(kPollMs);
    }
  }
  figures.ms = Millis(start);
  figures.status = status.Text();
  figures.peakAfter = Memory(process).PeakWorkingSetSize;
  return figures;
}

std::wstring DefaultProgram() {
  wchar_t path[MAX_PATH] = L"";
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring self = path;
  return self.substr(0, self.rfind(L'\\')) + L"\\..\\ombrelay.exe";
}

AddFigures RunProgram(const std::wstring& program, const std::wstring& expected) {
  AddFigures figures;
  SetStartUpDefaults();
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::wstring line = L"\"" + program + L"\"";
  if (!CreateProcessW(program.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    wprintf(L"(c) could not start %ls (error %lu)\n", program.c_str(), GetLastError());
    return figures;
  }
  HWND main = WaitWindow([] { return VisibleTop(L"OmbrelayMain", nullptr); });
  if (main) {
    Sleep(500);  // let start-up settle
    figures = TimeAddCommand(pi.hProcess, main, expected);
  }
  TerminateProcess(pi.hProcess, 0);
  WaitForSingleObject(pi.hProcess, 10000);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return figures;
}

LRESULT CALLBACK PlainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

constexpr UINT kSearchProgress = WM_APP + 2, kSearchEnded = WM_APP + 3;

// Runs the window thread's one message loop until the search's end message;
// `onMessage` sees every other message first.
long LoopUntilEnded(search::BackgroundSearch& finder, HWND window, const std::function<void(MSG&)>& onMessage) {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.hwnd == window && msg.message == kSearchEnded && finder.Ended()) return finder.TakeResult().result;
    onMessage(msg);
    DispatchMessageW(&msg);
  }
  return search::DirExFailed;
}

// The search for a shown window, as the add command runs it: on a thread of
// its own, the folder being searched shown a few times a second in a
// status bar from the window's message loop; tells what a window costs
// the search. The time in ms.
int SearchInWindow() {
  InitCommonControls();
  WNDCLASSW wc{};
  wc.lpfnWndProc = PlainWindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = L"SearchBenchWindow";
  RegisterClassW(&wc);
  HWND window = CreateWindowW(wc.lpszClassName, L"search", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640, 480, nullptr,
                              nullptr, wc.hInstance, nullptr);
  HWND bar =
      CreateWindowW(STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, window, nullptr, wc.hInstance, nullptr);
  if (!window || !bar) return -1;
  SendMessageW(bar, SB_SIMPLE, TRUE, 0);
  // Text drawn before the search, so that the fonts are loaded, as in the
  // program by then.
  SendMessageW(bar, SB_SETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(L"Ready"));
  for (DWORD until = GetTickCount() + 300; GetTickCount() < until; Sleep(5)) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
  search::BackgroundSearch finder;
  DWORD shownAt = GetTickCount() - 250;
  std::wstring text;
  return static_cast<int>(Timed([&] {
    if (!finder.Start(window, kSearchProgress, kSearchEnded, kTree + L"\\*.*", true)) return;
    LoopUntilEnded(finder, window, [&](MSG& msg) {
      if (msg.hwnd != window || msg.message != kSearchProgress) return;
      const std::wstring folder = finder.TakeProgress();
      if (GetTickCount() - shownAt < 250) return;
      shownAt = GetTickCount();
      text = L"Searching " + folder;
      SendMessageW(bar, SB_SETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(text.c_str()));
    });
  }));
}

// The rule window's count, as it runs it, of a rule that takes every file
// below the tree. The time in ms.
int CountAsTheRuleWindowDoes() {
  listfile::FolderRule rule;
  rule.folder = kTree + L"\\";
  rule.subfolders = true;
  const std::atomic<bool> stop{false};
  removal::RuleAnswer answer;
  const int ms = static_cast<int>(Timed([&] {
    const removal::NeverTaken never;
    listfile::ProtectedPlaces places;
    answer = removal::AnswerRule(rule, never, places, removal::RuleClock(), false, stop);
  }));
  return answer.files == static_cast<uint64_t>(kTop) * kSub * kFilesPerLeaf ? ms : 0;
}

// One walk or search in this (fresh) process; the time in ms is the exit
// code. -1 when the argument asks for neither.
int OnceInFreshProcess(const char* what) {
  if (std::strcmp(what, "--walk-once") == 0) {
    std::vector<std::wstring> files;
    size_t folders = 0;
    return static_cast<int>(Timed([&] { MinimalWalk(kTree, files, folders); }));
  }
  if (std::strcmp(what, "--two-thread-walk-once") == 0) {
    std::vector<std::wstring> files;
    size_t folders = 0;
    return static_cast<int>(Timed([&] { TwoThreadWalk(kTree, files, folders); }));
  }
  if (std::strcmp(what, "--search-in-window-once") == 0) return SearchInWindow();
  if (std::strcmp(what, "--count-once") == 0) return CountAsTheRuleWindowDoes();
  if (std::strcmp(what, "--search-once") == 0) {
    search::FileFinder finder;
    return static_cast<int>(Timed([&] { finder.SearchFile(kTree + L"\\*.*", true, false); }));
  }
  return -1;
}

long long MicrosNow() {
  return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// Searches the tree for a message-only window while another thread posts
// a message to it every 5 ms, and (when stopAfterMs > 0) stops the search
// from a third thread after that long. Gives the longest wait of a message
// and how long the search ran on after the stop, both in ms.
std::pair<double, double> SearchUnderMessages(DWORD stopAfterMs) {
  HWND window = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  search::BackgroundSearch finder;
  const long long base = MicrosNow();  // posted times are ms since base, so they fit a WPARAM
  long long longestWait = 0, stoppedAt = 0;
  std::atomic<bool> searching{true};
  std::thread poster([&] {
    while (searching) {
      PostMessageW(window, WM_APP, static_cast<WPARAM>((MicrosNow() - base) / 1000), 0);
      Sleep(5);
    }
  });
  std::thread stopper([&] {
    if (stopAfterMs == 0) return;
    Sleep(stopAfterMs);
    stoppedAt = MicrosNow();
    finder.Stop();
  });
  if (finder.Start(window, kSearchProgress, kSearchEnded, kTree + L"\\*.*", true)) {
    LoopUntilEnded(finder, window, [&](MSG& msg) {
      if (msg.message == kSearchProgress) finder.TakeProgress();
      if (msg.message != WM_APP) return;
      longestWait = std::max(longestWait, MicrosNow() - base - static_cast<long long>(msg.wParam) * 1000);
    });
  }
  const long long ended = MicrosNow();
  searching = false;
  poster.join();
  stopper.join();
  DestroyWindow(window);
  MSG msg;
  while (PeekMessageW(&msg, nullptr, WM_APP, WM_APP, PM_REMOVE)) {
  }
  const double afterStop = stoppedAt > 0 && stoppedAt < ended ? (ended - stoppedAt) / 1000.0 : -1;
  return {std::max(0.0, longestWait / 1000.0), afterStop};
}

struct Options {
  bool addOnly = false;
  bool countOnly = false;
  int rounds = kProgramRuns;
  std::wstring program = DefaultProgram();
};

Options ReadOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--add-only") == 0) {
      options.addOnly = true;
    } else if (std::strcmp(argv[i], "--count-only") == 0) {
      options.countOnly = true;
    } else if (std::strncmp(argv[i], "--rounds=", 9) == 0) {
      options.rounds = std::max(1, std::atoi(argv[i] + 9));
    } else {
      options.program = std::wstring(argv[i], argv[i] + std::strlen(argv[i]));
    }
  }
  return options;
}

// Which of the five runs takes a place in a round. A run leaves the machine
// busy for a while after it ends, a window's teardown above all, and that
// moved the time of the run after it by a tenth and more; so the rounds
// follow a Williams design: over any ten rounds, each run comes right after
// each other run exactly twice.
size_t RunAt(int round, size_t place) {
  constexpr size_t kPlaces = 5, kStep[kPlaces] = {0, 1, 4, 2, 3};
  const size_t row = static_cast<size_t>(round) % kPlaces;
  const size_t k = (round / kPlaces) % 2 == 0 ? place : kPlaces - 1 - place;
  return (row + kStep[k]) % kPlaces;
}

// (c): rounds of the cold walks on one and two threads, SearchFile alone
// and in a window, each in a fresh process, and the add command through
// the program, one after another, so that the five see the same load on
// the machine. False when an add did not finish.
bool AddRounds(const Options& options, const std::wstring& expected, double warmWalk) {
  AddFigures best;
  double a1 = 1e300, b1 = 1e300;
  std::vector<double> ratios, alones, inWindows, adds, walks2, toWalk2;
  for (int i = 0; i < options.rounds; ++i) {
    double walk = 0, walk2 = 0, alone = 0, inWindow = 0;
    AddFigures run;
    const std::function<void()> steps[] = {
        [&] { walk = RunSelfOnce(L"--walk-once"); },
        [&] { walk2 = RunSelfOnce(L"--two-thread-walk-once"); },
        [&] { alone = RunSelfOnce(L"--search-once"); },
        [&] { inWindow = RunSelfOnce(L"--search-in-window-once"); },
        [&] { run = RunProgram(options.program, expected); },
    };
    for (size_t place = 0; place < std::size(steps); ++place) steps[RunAt(i, place)]();
    if (run.ms < 0 || run.status != expected) {
      std::printf("(c) add command: did not finish (status \"%ls\")\n", run.status.c_str());
      return false;
    }
    std::printf(
        "    round %d: walk %.1f, 2-thread walk %.1f, SearchFile alone %.1f, in a window %.1f, add after the last "
        "question %.1f (the status not yet final until %.1f, then %.1f to the end)  ratio add/SearchFile %.2f, "
        "add/2-thread walk %.2f\n",
        i, walk, walk2, alone, inWindow, run.Own(), run.otherSeen - run.questionsDone, run.ms - run.otherSeen,
        run.Own() / alone, run.Own() / walk2);
    walks2.push_back(walk2);
    toWalk2.push_back(run.Own() / walk2);
    ratios.push_back(run.Own() / alone);
    alones.push_back(alone);
    inWindows.push_back(inWindow);
    adds.push_back(run.Own());
    a1 = std::min(a1, walk);
    b1 = std::min(b1, alone);
    if (best.ms < 0 || run.Own() < best.Own()) best = run;
  }
  std::printf("(a1) minimal walker, fresh process: %8.1f ms\n", a1);
  std::printf("(b1) SearchFile, fresh process:     %8.1f ms  ratio %.2f\n", b1, b1 / a1);
  std::printf("(c) add command:     %8.1f ms from the click, %.1f ms after the last question  (\"%ls\")\n", best.ms,
              best.Own(), best.status.c_str());
  if (warmWalk > 0) std::printf("    ratio %.2f to (a) (%.1f ms)\n", best.ms / warmWalk, warmWalk);
  std::printf("    after the last question: best %.2f of (b1), median of the rounds' ratios %.2f\n", best.Own() / b1,
              Median(ratios));
  std::printf("    medians: SearchFile alone %.1f, in a window %.1f (%.2f), add %.1f (%.2f)\n", Median(alones),
              Median(inWindows), Median(inWindows) / Median(alones), Median(adds), Median(adds) / Median(alones));
  std::printf(
      "    add after the last question against the 2-thread walk of the same round (goal 1.05): median %.2f, "
      "best %.2f; medians %.1f against %.1f ms\n",
      Median(toWalk2), *std::min_element(toWalk2.begin(), toWalk2.end()), Median(adds), Median(walks2));
  std::printf("    of which: browser shown after %.1f ms, both questions answered after %.1f ms\n", best.browserShown,
              best.questionsDone);
  std::printf("    program peak working set before the add %.1f MiB, after %.1f MiB\n", MiB(best.peakBefore),
              MiB(best.peakAfter));
  return true;
}

// (e): rounds of SearchFile alone and the rule window's count, each in a
// fresh process, one after the other. False when a count missed files.
bool CountRounds(const Options& options) {
  std::vector<double> ratios;
  for (int i = 0; i < options.rounds; ++i) {
    const double alone = RunSelfOnce(L"--search-once");
    const double count = RunSelfOnce(L"--count-once");
    if (count <= 0) {
      std::printf("(e) the count did not take every file of the tree\n");
      return false;
    }
    std::printf("    round %d: SearchFile alone %.1f, rule count %.1f  ratio %.2f\n", i, alone, count, count / alone);
    ratios.push_back(count / alone);
  }
  std::printf("(e) the rule window's count against SearchFile alone (goal 1.10): median %.2f, best %.2f\n",
              Median(ratios), *std::min_element(ratios.begin(), ratios.end()));
  return true;
}

// The status the add command ends with: the chosen folder's entry, the
// subfolders and the files the search finds.
std::wstring ExpectedStatus(const search::SearchResult& found) {
  const size_t entries = found.folders.size() + found.files.size();
  return std::to_wstring(entries) + L" items loaded...";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1) {
    int once = OnceInFreshProcess(argv[1]);
    if (once >= 0) return once;
  }
  const Options options = ReadOptions(argc, argv);
  std::printf("generating the tree (once)...\n");
  if (!MakeTree()) {
    std::printf("could not create the tree under C:\\searchbench\n");
    return 1;
  }
  if (options.countOnly) return CountRounds(options) ? 0 : 1;
  if (options.addOnly) {
    search::FileFinder finder;
    return AddRounds(options, ExpectedStatus(finder.SearchFile(kTree + L"\\*.*", true, false)), 0) ? 0 : 1;
  }
  std::vector<std::wstring> files;
  size_t folders = 0;
  auto baseline = [&] {
    files.clear();
    folders = 0;
    MinimalWalk(kTree, files, folders);
  };
  auto twoThreads = [&] {
    files.clear();
    folders = 0;
    TwoThreadWalk(kTree, files, folders);
  };
  search::FileFinder finder;
  search::SearchResult found;
  auto search = [&] {
    found = search::SearchResult();
    found = finder.SearchFile(kTree + L"\\*.*", true, false);
  };
  baseline();  // warm the caches
  size_t peakA = Memory(GetCurrentProcess()).PeakWorkingSetSize;
  const size_t baselineFiles = files.size();
  files = std::vector<std::wstring>();
  const size_t baselineFolders = folders;
  SYSTEM_INFO system;
  GetSystemInfo(&system);
  std::printf("%lu logical processors; the search lists folders on %zu workers\n", system.dwNumberOfProcessors,
              search::ListingWorkers());
  double a = 1e300, a2 = 1e300, b = 1e300;
  for (int i = 0; i < kRuns; ++i) {
    double ta = Timed(baseline);
    double ta2 = Timed(twoThreads);
    if (files.size() != baselineFiles || folders != baselineFolders) std::printf("(a2) walked a different tree\n");
    files = std::vector<std::wstring>();
    double tb = Timed(search);
    std::printf("    run %d: a %.1f a2 %.1f b %.1f  (b/a %.2f, b/a2 %.2f)\n", i, ta, ta2, tb, tb / ta, tb / ta2);
    a = std::min(a, ta);
    a2 = std::min(a2, ta2);
    b = std::min(b, tb);
  }
  std::printf("(a) minimal walker:  %8.1f ms  (%zu files, %zu folders below the root)\n", a, baselineFiles,
              baselineFolders - 1);
  std::printf("(a2) on 2 threads:   %8.1f ms  ratio %.2f to (a)\n", a2, a2 / a);
  size_t peakB = Memory(GetCurrentProcess()).PeakWorkingSetSize;
  std::printf(
      "(b) SearchFile:      %8.1f ms  ratio %.2f to (a), %.2f to (a2)  (%zu files, %zu folders, count %ld, "
      "result %ld)\n",
      b, b / a, b / a2, found.files.size(), found.folders.size(), found.fileCount, found.result);
  std::printf("    peak working set after (a) %.1f MiB, after (b) %.1f MiB\n", MiB(peakA), MiB(peakB));

  // The program starts cold, so it is compared with cold runs.
  if (!AddRounds(options, ExpectedStatus(found), a)) return 1;

  double longestWait = 0, longestStop = 0;
  for (DWORD stopAfter : {0, 150, 300, 450, 600}) {
    auto [wait, afterStop] = SearchUnderMessages(stopAfter);
    std::printf(
        "    search with messages every 5 ms, stop after %lu ms: longest message wait %.1f ms, ended %.1f ms "
        "after the stop\n",
        stopAfter, wait, afterStop);
    longestWait = std::max(longestWait, wait);
    longestStop = std::max(longestStop, afterStop);
  }
  std::printf("(d) longest message wait while searching %.1f ms; longest run after StopSearch %.1f ms\n", longestWait,
              longestStop);
  return CountRounds(options) ? 0 : 1;
}
