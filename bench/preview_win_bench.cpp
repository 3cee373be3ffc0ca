// Benchmark of the password prompt's preview on a list of 100,051 records:
// a folder, 50 folders of 100 subfolders, and 19 files listed in each
// subfolder, of which one (document_09) is not there: already gone. Each round
// times what the preview does before its list shows: the plan of the list's
// records, the fates of every record (the same decision the run makes), the
// model with its totals; then a sort by each column and the Copy text. In
// turns with it, a bare walk of the same tree on two threads, the goal's
// yardstick: the preview shown within 1.1 times the walk.
// Then the preview as the user waits for it, in rounds of fresh processes:
// the list saved as a list file, the program started on it as the desktop
// shortcut starts it, and from the click on Preview... on its password
// prompt until the preview window shows the totals (its opening and filling
// included), against the bare two-thread walk of the tree in a fresh process
// of its own, the two in turns (each first in every other round).
// With --program= given twice, both builds are timed in the same rounds.
// Usage: preview_win_bench [rounds] [scratch folder] [--program=<ombrelay.exe>]...
//        (default: 3 rounds, 3 of them in fresh processes too, in
//        %TEMP%\ombrelay_preview_bench; the program beside the bench's folder)
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bare_walk_win.h"
#include "fresh_process_win.h"
#include "base/handles_win.h"
#include "base/texts_win.h"
#include "list_bytes.h"
#include "listfile/list_file.h"
#include "removal/fates_win.h"
#include "removal/preview.h"
#include "removal/removal_plan.h"

namespace {

constexpr int kTop = 50, kSub = 100, kFiles = 19;

double Seconds(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::wstring Two(int n) { return (n < 10 ? L"0" : L"") + std::to_wstring(n); }

std::wstring TopName(int top) { return L"\\folder_" + Two(top); }
// Subfolder `index` of all, counted through the top folders in turn.
std::wstring FolderName(int index) { return TopName(index / kSub) + L"\\subfolder_" + Two(index % kSub); }

// Writes one listed file of 1 to 7 bytes, unless it is one that is gone.
void MakeFile(const std::wstring& path, int number) {
  if (number % 10 == 9) return;
  base::win::unique_hfile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  DWORD wrote = 0;
  if (file) WriteFile(file.get(), "preview", 1 + number % 7, &wrote, nullptr);
}

// Makes the tree and gives back its records as the add command lists them:
// the folders, each after the folder holding it, then the files.
std::vector<listfile::Record> MakeTree(const std::wstring& root) {
  std::vector<listfile::Record> records{{root + L"\\", L"Folder"}};
  CreateDirectoryW(root.c_str(), nullptr);
  for (int index = 0; index < kTop * kSub; ++index) {
    if (index % kSub == 0) {
      const std::wstring top = root + TopName(index / kSub);
      CreateDirectoryW(top.c_str(), nullptr);
      records.push_back({top + L"\\", L"Folder"});
    }
    const std::wstring folder = root + FolderName(index);
    CreateDirectoryW(folder.c_str(), nullptr);
    records.push_back({folder + L"\\", L"Folder"});
  }
  for (int index = 0; index < kTop * kSub * kFiles; ++index) {
    const std::wstring file = root + FolderName(index / kFiles) + L"\\document_" + Two(index % kFiles) + L".txt";
    MakeFile(file, index % kFiles);
    records.push_back({file, L"File"});
  }
  return records;
}

void RemoveTree(const std::vector<listfile::Record>& records) {
  for (const listfile::Record& r : records)
    if (r.type == L"File") DeleteFileW(r.path.c_str());
  for (auto r = records.rbegin(); r != records.rend(); ++r)
    if (r->type == L"Folder") RemoveDirectoryW(r->path.c_str());
}

std::wstring Bytes(std::uint64_t n) { return std::to_wstring(n) + L" bytes"; }

double Walk(const std::wstring& root) {
  std::vector<std::wstring> files;
  size_t folders = 0;
  const auto start = std::chrono::steady_clock::now();
  bench::TwoThreadWalk(root, files, folders);
  const double seconds = Seconds(start);
  std::printf("  bare walk on 2 threads: %.3f s (%zu files, %zu folders)\n", seconds, files.size(), folders);
  return seconds;
}

double Round(std::vector<listfile::Record> records, std::wstring* totalsText = nullptr) {
  size_t calls = 0;
  // The prompt hands over the records it read, as the run does.
  const auto start = std::chrono::steady_clock::now();
  const removal::Plan plan = removal::MakePlan(std::move(records));
  const double planned = Seconds(start);
  std::vector<removal::Fate> fates = removal::Foresee(
      plan, removal::Disposal::Delete, [&calls](size_t, size_t) { ++calls; }, nullptr);
  const double foreseen = Seconds(start);
  removal::Preview preview(std::move(fates), Bytes);
  const double built = Seconds(start);
  const removal::PreviewTotals& totals = preview.Totals();
  std::printf(
      "  plan %.3f s, fates of %zu records %.3f s (%zu progress calls), model and totals %.3f s: %zu files "
      "and %zu folders to remove, %llu bytes, %zu gone, %zu stay\n",
      planned, preview.Count(), foreseen - planned, calls, built - foreseen, totals.files, totals.folders,
      static_cast<unsigned long long>(totals.bytes), totals.gone, totals.stay);
  std::printf("  shown: %.3f s\n", built);
  if (totalsText) *totalsText = removal::TotalsText(totals, base::text::ExplorerSize, base::text::UserNumberStyle());
  auto sortStart = std::chrono::steady_clock::now();
  for (removal::Column column : {removal::Column::Path, removal::Column::Size, removal::Column::Outcome}) {
    preview.SortBy(column);
    std::printf("  sort by %s %.3f s\n",
                column == removal::Column::Path   ? "path"
                : column == removal::Column::Size ? "size"
                                                  : "outcome",
                Seconds(sortStart));
    sortStart = std::chrono::steady_clock::now();
  }
  const size_t copied = preview.CopyText().size();
  std::printf("  copy text %.3f s (%zu characters)\n", Seconds(sortStart), copied);
  return built;
}

// --- the preview as the user waits, in fresh processes ------------------

using bench::Median;
using bench::Millis;
using bench::RunSelfOnce;
using bench::SetStartUpDefaults;
using bench::VisibleTop;
using bench::WaitWindow;

constexpr int kPollMs = 10;
constexpr int kPromptPreviewButton = 305, kPreviewTotals = 401;

// True when a control of the program reads `awaited`. Each look is one
// message, which the system carries between the processes, copying the
// text back; a text longer than awaited comes back cut, and so differs.
bool ReadsAs(HWND control, const std::wstring& awaited) {
  std::vector<wchar_t> text(awaited.size() + 2);
  const LRESULT length = SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  return static_cast<size_t>(length) == awaited.size() && std::wstring(text.data(), awaited.size()) == awaited;
}

struct PreviewFigures {
  double opened = -1;  // the preview window shown, after the click
  double shown = -1;   // its totals shown
};

// Starts the program on the list as the desktop shortcut does, clicks
// Preview... on its password prompt once it has settled, and waits for the
// totals.
PreviewFigures TimeProgramPreview(const std::wstring& program, const std::wstring& listPath,
                                  const std::wstring& totals) {
  PreviewFigures figures;
  SetStartUpDefaults();
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::wstring line = L"\"" + program + L"\" \"Remove Files*" + listPath + L"\"";
  if (!CreateProcessW(program.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    std::printf("could not start %ls (error %lu)\n", program.c_str(), GetLastError());
    return figures;
  }
  if (HWND prompt = WaitWindow([] { return VisibleTop(L"OmbrelayLogin", nullptr); })) {
    Sleep(500);  // let start-up settle
    const auto start = std::chrono::steady_clock::now();
    PostMessageW(GetDlgItem(prompt, kPromptPreviewButton), BM_CLICK, 0, 0);
    if (HWND preview = WaitWindow([] { return VisibleTop(L"OmbrelayPreview", nullptr); })) {
      figures.opened = Millis(start);
      HWND text = GetDlgItem(preview, kPreviewTotals);
      for (int i = 0; i < 60000 / kPollMs; ++i) {
        if (ReadsAs(text, totals)) {
          figures.shown = Millis(start);
          break;
        }
        Sleep(kPollMs);
      }
    }
  }
  TerminateProcess(pi.hProcess, 0);
  WaitForSingleObject(pi.hProcess, 10000);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return figures;
}

// The bare two-thread walk of the tree in this (fresh) process; the time
// in ms.
int WalkOnce(const std::wstring& root) {
  std::vector<std::wstring> files;
  size_t folders = 0;
  const auto start = std::chrono::steady_clock::now();
  bench::TwoThreadWalk(root, files, folders);
  return static_cast<int>(Millis(start));
}

std::wstring Wide(const char* text) { return std::wstring(text, text + std::strlen(text)); }

std::wstring DefaultProgram() {
  wchar_t path[MAX_PATH] = L"";
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring self = path;
  return self.substr(0, self.rfind(L'\\')) + L"\\..\\ombrelay.exe";
}

// Which step takes a place in a round of `steps`: each round turns the
// order round by one, and every other block of rounds runs it backwards,
// so that over 2 * steps rounds each step comes right after each other
// equally often (a step leaves the machine busy for a moment after it).
size_t StepAt(int round, size_t place, size_t steps) {
  const size_t k = (round / static_cast<int>(steps)) % 2 == 0 ? place : steps - 1 - place;
  return (static_cast<size_t>(round) + k) % steps;
}

// Rounds of the bare walk and the preview of each program given, each in a
// fresh process, in turns; false when a preview did not show its totals.
bool UserWaitRounds(int rounds, const std::vector<std::wstring>& programs, const std::wstring& scratch,
                    const std::vector<listfile::Record>& records, const std::wstring& totals) {
  const std::wstring listPath = scratch + L".list.txt";
  const std::string bytes = listbytes::EncodeList(records, L"secret");
  {
    base::win::unique_hfile file(CreateFileW(listPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD wrote = 0;
    if (!file || !WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr)) return false;
  }
  const size_t count = programs.size();
  std::vector<std::vector<double>> ratios(count), shows(count), opens(count);
  std::vector<double> walks;
  bool ok = true;
  for (int r = 0; r < rounds && ok; ++r) {
    double walk = 0;
    std::vector<PreviewFigures> previews(count);
    for (size_t place = 0; place <= count; ++place) {
      const size_t step = StepAt(r, place, count + 1);
      if (step == count) {
        walk = RunSelfOnce(L"--walk-once \"" + scratch + L"\"");
      } else {
        previews[step] = TimeProgramPreview(programs[step], listPath, totals);
      }
    }
    std::printf("  fresh round %d: bare walk %.1f ms", r + 1, walk);
    for (size_t p = 0; p < count; ++p) {
      if (previews[p].shown < 0 || walk <= 0) ok = false;
      std::printf("; %ls: window open after %.1f ms, totals after %.1f ms, ratio %.2f", programs[p].c_str(),
                  previews[p].opened, previews[p].shown, previews[p].shown / walk);
      ratios[p].push_back(previews[p].shown / walk);
      shows[p].push_back(previews[p].shown);
      opens[p].push_back(previews[p].opened);
    }
    std::printf("\n");
    walks.push_back(walk);
  }
  DeleteFileW(listPath.c_str());
  if (!ok) {
    std::printf("  a preview did not show its totals (\"%ls\" awaited)\n", totals.c_str());
    return false;
  }
  for (size_t p = 0; p < count; ++p)
    std::printf(
        "as the user waits, %d rounds of fresh processes, %ls: from the click on Preview... to the totals, "
        "median %.1f ms (the window open after %.1f ms), bare walk median %.1f ms; median of the rounds' "
        "ratios %.2f (goal: 1.1 at most), best %.2f\n",
        rounds, programs[p].c_str(), Median(shows[p]), Median(opens[p]), Median(walks), Median(ratios[p]),
        *std::min_element(ratios[p].begin(), ratios[p].end()));
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 2 && std::strcmp(argv[1], "--walk-once") == 0) return WalkOnce(Wide(argv[2]));
  std::vector<std::wstring> programs;
  std::vector<const char*> plain;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--program=", 10) == 0) {
      programs.push_back(Wide(argv[i] + 10));
    } else {
      plain.push_back(argv[i]);
    }
  }
  if (programs.empty()) programs.push_back(DefaultProgram());
  const int rounds = !plain.empty() ? std::max(1, std::atoi(plain[0])) : 3;
  std::wstring scratch;
  if (plain.size() > 1) {
    scratch = Wide(plain[1]);
  } else {
    wchar_t temp[MAX_PATH] = L"";
    if (!GetTempPathW(MAX_PATH, temp)) return 1;
    scratch = std::wstring(temp) + L"ombrelay_preview_bench";
  }
  auto start = std::chrono::steady_clock::now();
  const std::vector<listfile::Record> records = MakeTree(scratch);
  std::printf("tree of %zu records made in %.1f s\n", records.size(), Seconds(start));
  // The machine is shared: the best of each, and the ratio within each
  // round, whose two halves saw the same load.
  double best = 1e9, bestWalk = 1e9;
  std::vector<double> ratios;
  std::wstring totals;
  for (int r = 0; r < rounds; ++r) {
    std::printf("round %d:\n", r + 1);
    const double walk = Walk(scratch);
    const double shown = Round(records, &totals);
    std::printf("  ratio of the round %.2f\n", shown / walk);
    ratios.push_back(shown / walk);
    bestWalk = std::min(bestWalk, walk);
    best = std::min(best, shown);
  }
  std::sort(ratios.begin(), ratios.end());
  std::printf(
      "best time to show the preview of %zu records: %.3f s; bare walk %.3f s; ratio %.2f; median of the "
      "rounds' ratios %.2f (goal: 1.1 at most)\n",
      records.size(), best, bestWalk, best / bestWalk, ratios[ratios.size() / 2]);
  std::fflush(stdout);
  const bool waited = UserWaitRounds(rounds, programs, scratch, records, totals);
  RemoveTree(records);
  return waited ? 0 : 1;
}
