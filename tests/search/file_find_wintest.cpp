// The folder walk on real folders inside the Wine prefix: folder order, what
// it hands back, counts and results, the path forms, attributes, stops, links,
// long paths and names outside the ANSI code page. Links are made as Linux
// symbolic links, which Wine shows as reparse-point folders.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "search/file_find_win.h"
#include "search/search_result.h"

namespace search {
namespace {

const std::wstring kRoot = L"C:\\srchtest";
const std::wstring kT = kRoot + L"\\T";

std::string UnixPath(const std::wstring& path) {
  using Fn = char*(CDECL*)(LPCWSTR);
  auto fn = reinterpret_cast<Fn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (!fn) return std::string();
  char* unix = fn(path.c_str());
  if (!unix) return std::string();
  std::string result = unix;
  HeapFree(GetProcessHeap(), 0, unix);
  return result;
}

// Starts a Unix tool (Wine runs ELF programs directly). Its process handle
// does not say when it ends, so callers wait for its effect instead.
bool StartUnix(const wchar_t* tool, const std::string& arguments) {
  std::wstring line = std::wstring(tool) + L" " + std::wstring(arguments.begin(), arguments.end());
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::wstring app = std::wstring(L"Z:\\bin\\") + tool;
  if (!CreateProcessW(app.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return true;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool WaitFor(const std::function<bool()>& done) {
  for (int i = 0; i < 2400; ++i) {  // two minutes: a loaded machine makes trees slowly
    if (done()) return true;
    Sleep(50);
  }
  return false;
}

void RemoveTree(const std::wstring& path) {
  if (!Exists(path)) return;
  ASSERT_TRUE(StartUnix(L"rm", "-rf " + UnixPath(path)));
  ASSERT_TRUE(WaitFor([&] { return !Exists(path); }));
}

void Link(const std::wstring& link, const std::wstring& target) {
  ASSERT_TRUE(StartUnix(L"ln", "-s " + UnixPath(target) + " " + UnixPath(link)));
  ASSERT_TRUE(WaitFor([&] { return Exists(link); }));
}

void MakeFolder(const std::wstring& path) { ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr)) << GetLastError(); }

void MakeFile(const std::wstring& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE) << GetLastError();
  CloseHandle(h);
}

// What one search reported: the folders it told, its count and result.
struct Outcome {
  std::vector<std::wstring> folders;
  long count = -1;
  long result = -1;
};

class SearchWalk : public ::testing::Test {
 protected:
  void SetUp() override {
    RemoveTree(kRoot);
    MakeFolder(kRoot);
  }
  void TearDown() override { RemoveTree(kRoot); }

  // The example tree: T holds a, b, S1 and S2; S1 holds c and the empty S3;
  // S2 holds d.
  void MakeExampleTree() {
    MakeFolder(kT);
    MakeFile(kT + L"\\a");
    MakeFile(kT + L"\\b");
    MakeFolder(kT + L"\\S1");
    MakeFolder(kT + L"\\S2");
    MakeFile(kT + L"\\S1\\c");
    MakeFolder(kT + L"\\S1\\S3");
    MakeFile(kT + L"\\S2\\d");
  }

  Outcome Search(const std::wstring& path, bool subfolders, bool caseSensitive = false) {
    run_ = Outcome();
    Keep(find_.SearchFile(path, subfolders, caseSensitive, [this](const std::wstring& folder) {
      run_.folders.push_back(folder);
      if (onFolder_) onFolder_(folder);
    }));
    return run_;
  }
  void Keep(SearchResult found) {
    run_.count = found.fileCount;
    run_.result = found.result;
    files_ = std::move(found.files);
    folders_ = std::move(found.folders);
  }

  FileFinder find_;
  Outcome run_;
  std::vector<std::wstring> files_, folders_;  // what the last search found
  std::function<void(const std::wstring&)> onFolder_;
};

using Paths = std::vector<std::wstring>;

TEST_F(SearchWalk, ExampleTreeWithSubfoldersIsWalkedDepthFirstPreOrder) {
  MakeExampleTree();
  Outcome r = Search(kT + L"\\*.*", true);
  EXPECT_EQ(r.folders, (Paths{kT, kT + L"\\S1", kT + L"\\S1\\S3", kT + L"\\S2"}));
  EXPECT_EQ(files_, (Paths{kT + L"\\a", kT + L"\\b", kT + L"\\S1\\c", kT + L"\\S2\\d"}));
  EXPECT_EQ(folders_, (Paths{kT + L"\\", kT + L"\\S1\\", kT + L"\\S1\\S3\\", kT + L"\\S2\\"}));
  EXPECT_EQ(r.count, 7);  // a, b, S1, S2, c, S3, d
  EXPECT_EQ(r.result, DirExSuccess);
}

TEST_F(SearchWalk, ExampleTreeWithoutSubfoldersStaysInTheStartFolder) {
  MakeExampleTree();
  Outcome r = Search(kT + L"\\*.*", false);
  EXPECT_EQ(r.folders, (Paths{kT}));
  EXPECT_EQ(files_, (Paths{kT + L"\\a", kT + L"\\b"}));
  EXPECT_EQ(folders_, (Paths{kT + L"\\"}));
  EXPECT_EQ(r.count, 4);
  EXPECT_EQ(r.result, DirExSuccess);
}

TEST_F(SearchWalk, EachSearchHandsBackWhatItFoundAlone) {
  MakeExampleTree();
  Search(kT + L"\\*.*", true);
  Search(kT + L"\\*.*", false);
  EXPECT_EQ(files_, (Paths{kT + L"\\a", kT + L"\\b"}));
}

TEST_F(SearchWalk, PathFormsSelectStartFolderAndPattern) {
  MakeExampleTree();
  MakeFile(kT + L"\\S2\\a");
  MakeFile(kT + L"\\x.txt");
  // Closing separator: the folder with "*.*".
  Outcome r = Search(kT + L"\\", false);
  EXPECT_EQ(r.folders, (Paths{kT}));
  EXPECT_EQ(r.count, 5);
  // Folder without separator: its name is looked for in its parent.
  r = Search(kT, false);
  EXPECT_EQ(r.folders, (Paths{kRoot}));
  EXPECT_EQ(r.count, 1);
  EXPECT_EQ(files_, Paths{});
  EXPECT_EQ(folders_, (Paths{kRoot + L"\\"}));
  // An existing file: every file of that name below its folder.
  r = Search(kT + L"\\a", true);
  EXPECT_EQ(files_, (Paths{kT + L"\\a", kT + L"\\S2\\a"}));
  EXPECT_EQ(r.count, 2);
  // A pattern in an existing folder.
  r = Search(kT + L"\\*.txt", true);
  EXPECT_EQ(files_, (Paths{kT + L"\\x.txt"}));
  EXPECT_EQ(r.result, DirExSuccess);
}

TEST_F(SearchWalk, InvalidPathsReportOnlyFinished) {
  MakeExampleTree();
  Outcome r = Search(kT + L"\\*.*", false);
  ASSERT_EQ(r.count, 4);
  r = Search(L"", true);
  EXPECT_EQ(r.result, PathNameNotValid);
  EXPECT_EQ(r.count, 0);
  r = Search(kRoot + L"\\Nope\\*.*", true);
  EXPECT_EQ(r.result, PathNameNotValid);
  EXPECT_EQ(r.count, 0);
  EXPECT_TRUE(r.folders.empty());
  EXPECT_TRUE(files_.empty());
  EXPECT_TRUE(folders_.empty());
}

TEST_F(SearchWalk, EmptyFoldersAndFoldersOfFolders) {
  MakeFolder(kT);
  Outcome r = Search(kT + L"\\*.*", true);
  EXPECT_EQ(r.folders, (Paths{kT}));
  EXPECT_EQ(folders_, (Paths{kT + L"\\"}));
  EXPECT_EQ(r.result, NoFilesFound);
  EXPECT_EQ(r.count, 0);
  // Subfolders fit "*.*" and count, though no file is found.
  MakeFolder(kT + L"\\A");
  MakeFolder(kT + L"\\B");
  r = Search(kT + L"\\*.*", false);
  EXPECT_EQ(r.result, DirExSuccess);
  EXPECT_EQ(r.count, 2);
  EXPECT_EQ(files_, Paths{});
}

TEST_F(SearchWalk, DriveRootKeepsItsSeparator) {
  Outcome r = Search(L"C:\\", false);
  EXPECT_EQ(r.folders, (Paths{L"C:\\"}));
  EXPECT_EQ(folders_, (Paths{L"C:\\"}));
  EXPECT_EQ(r.result, DirExSuccess);
}

TEST_F(SearchWalk, HiddenAndSystemEntriesAreFound) {
  MakeFolder(kT);
  MakeFile(kT + L"\\h.txt", FILE_ATTRIBUTE_HIDDEN);
  MakeFile(kT + L"\\s.txt", FILE_ATTRIBUTE_SYSTEM);
  MakeFile(kT + L"\\r.txt", FILE_ATTRIBUTE_READONLY);
  MakeFolder(kT + L"\\hid");
  ASSERT_TRUE(SetFileAttributesW((kT + L"\\hid").c_str(), FILE_ATTRIBUTE_HIDDEN));
  MakeFile(kT + L"\\hid\\in.txt");
  Search(kT + L"\\*.*", true);
  Paths files = files_;
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (Paths{kT + L"\\h.txt", kT + L"\\hid\\in.txt", kT + L"\\r.txt", kT + L"\\s.txt"}));
  SetFileAttributesW((kT + L"\\r.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(SearchWalk, CaseSensitiveNamesFollowTheirOwnRules) {
  MakeFolder(kT);
  MakeFile(kT + L"\\a.a");
  MakeFile(kT + L"\\B.A");
  MakeFile(kT + L"\\noext");
  Outcome r = Search(kT + L"\\*.A", false, true);
  EXPECT_EQ(files_, (Paths{kT + L"\\B.A"}));
  EXPECT_EQ(r.count, 1);
  r = Search(kT + L"\\*.*", false, true);
  EXPECT_EQ(r.count, 2);  // "noext" neither fits nor counts
  r = Search(kT + L"\\*.A", false, false);
  EXPECT_EQ(r.count, 2);
}

TEST_F(SearchWalk, MalformedPatternFailsTheSearch) {
  MakeFolder(kT);
  MakeFile(kT + L"\\[abc");
  Outcome r = Search(kT + L"\\[abc", false, true);
  EXPECT_EQ(r.result, DirExFailed);
  EXPECT_EQ(r.count, 0);
}

TEST_F(SearchWalk, StopFromCurrentFolderEndsTheWalkAndAddsNothing) {
  MakeExampleTree();
  onFolder_ = [this](const std::wstring& folder) {
    if (folder == kT + L"\\S1") find_.StopSearch();
  };
  Outcome r = Search(kT + L"\\*.*", true);
  EXPECT_EQ(r.result, UserCanceled);
  EXPECT_EQ(r.count, 4);  // a, b, S1, S2: the entries taken before the stop
  EXPECT_EQ(r.folders, (Paths{kT, kT + L"\\S1"}));
  EXPECT_EQ(files_, Paths{});
  EXPECT_EQ(folders_, Paths{});
  // The next search starts afresh.
  onFolder_ = nullptr;
  r = Search(kT + L"\\*.*", true);
  EXPECT_EQ(r.result, DirExSuccess);
  EXPECT_EQ(r.count, 7);
}

TEST_F(SearchWalk, FolderThatDisappearsIsVisitedEmptyOrWhole) {
  const Paths whole{kT + L"\\a", kT + L"\\b", kT + L"\\S1\\c", kT + L"\\S2\\d"};
  const Paths empty(whole.begin(), whole.end() - 1);
  for (int round = 0; round < 6; ++round) {
    RemoveTree(kT);
    MakeExampleTree();
    // S2 vanishes around the time its parent is listed.
    onFolder_ = [](const std::wstring& folder) {
      if (folder == kT) RemoveTree(kT + L"\\S2");
    };
    Outcome r = Search(kT + L"\\*.*", true);
    EXPECT_EQ(r.result, DirExSuccess);
    EXPECT_EQ(r.folders.back(), kT + L"\\S2");
    EXPECT_EQ(folders_, (Paths{kT + L"\\", kT + L"\\S1\\", kT + L"\\S1\\S3\\", kT + L"\\S2\\"}));
    const Paths files = files_;
    EXPECT_TRUE(files == whole || files == empty) << files.size();
    EXPECT_EQ(r.count, files == whole ? 7 : 6);
  }
}

TEST_F(SearchWalk, LinkedFoldersAreListedButNotEntered) {
  MakeExampleTree();
  MakeFolder(kRoot + L"\\outside");
  MakeFile(kRoot + L"\\outside\\secret");
  Link(kT + L"\\L", kRoot + L"\\outside");
  Link(kT + L"\\S1\\loop", kT);
  ASSERT_EQ(GetFileAttributesW((kT + L"\\L").c_str()) & 0x410u, 0x410u);
  Outcome r = Search(kT + L"\\*.*", true);
  EXPECT_EQ(r.result, DirExSuccess);
  EXPECT_EQ(r.count, 9);  // the two links count as entries of their parents
  EXPECT_EQ(files_, (Paths{kT + L"\\a", kT + L"\\b", kT + L"\\S1\\c", kT + L"\\S2\\d"}));
  Paths folders = folders_;
  std::sort(folders.begin(), folders.end());
  EXPECT_EQ(folders, (Paths{kT + L"\\", kT + L"\\L\\", kT + L"\\S1\\", kT + L"\\S1\\S3\\", kT + L"\\S1\\loop\\",
                            kT + L"\\S2\\"}));
  EXPECT_EQ(std::count(r.folders.begin(), r.folders.end(), kT + L"\\L"), 0);
}

TEST_F(SearchWalk, LongPathsAreWalkedWhole) {
  MakeFolder(kT);
  std::wstring deep = kT;
  const std::wstring part(60, L'p');
  for (int i = 0; i < 5; ++i) {
    deep += L"\\" + part + std::to_wstring(i);
    MakeFolder(L"\\\\?\\" + deep);
  }
  MakeFile(L"\\\\?\\" + deep + L"\\end.txt");
  ASSERT_GT(deep.size(), 300u);
  Outcome r = Search(kT + L"\\*.*", true);
  EXPECT_EQ(files_, (Paths{deep + L"\\end.txt"}));
  EXPECT_EQ(folders_.back(), deep + L"\\");
  EXPECT_EQ(r.folders.back(), deep);
  EXPECT_EQ(r.count, 6);
  // A long start path is taken whole as well.
  r = Search(deep + L"\\*.*", false);
  EXPECT_EQ(r.folders, (Paths{deep}));
  EXPECT_EQ(files_, (Paths{deep + L"\\end.txt"}));
}

TEST_F(SearchWalk, NamesOutsideTheAnsiCodePage) {
  MakeFolder(kT);
  const std::wstring folder = kT + L"\\\u4E2D\u6587";
  MakeFolder(folder);
  MakeFile(folder + L"\\\u0416\u05D0.txt");
  Search(kT + L"\\*.*", true);
  EXPECT_EQ(files_, (Paths{folder + L"\\\u0416\u05D0.txt"}));
  EXPECT_EQ(folders_, (Paths{kT + L"\\", folder + L"\\"}));
}

TEST_F(SearchWalk, ManySubfoldersInOneFolder) {
  MakeFolder(kT);
  const std::wstring done = kRoot + L"\\made";
  ASSERT_TRUE(
      StartUnix(L"sh", "-c \"cd " + UnixPath(kT) + " && seq 1 32800 | xargs mkdir && touch " + UnixPath(done) + "\""));
  ASSERT_TRUE(WaitFor([&] { return Exists(done); }));
  Outcome r = Search(kT + L"\\*.*", true);
  EXPECT_EQ(r.result, DirExSuccess);
  EXPECT_EQ(r.count, 32800);
  EXPECT_EQ(folders_.size(), 32801u);
}

// The plain single-threaded walk the search has to match: every folder's
// files in listing order, its own entry, then its subfolders one by one;
// links are listed but not entered.
void ReferenceWalk(const std::wstring& folder, Paths& files, Paths& folders, long& count) {
  folders.push_back(folder);
  std::vector<std::pair<std::wstring, bool>> subfolders;
  WIN32_FIND_DATAW data;
  HANDLE find =
      FindFirstFileExW((L"\\\\?\\" + folder + L"*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      ++count;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        subfolders.emplace_back(folder + name + L"\\", (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0);
      } else {
        files.push_back(folder + name);
      }
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  for (const auto& [path, link] : subfolders) {
    if (link) {
      folders.push_back(path);
    } else {
      ReferenceWalk(path, files, folders, count);
    }
  }
}

// Runs a shell command in folder and waits until it has finished.
void Shell(const std::wstring& folder, const std::string& command) {
  const std::wstring done = kRoot + L"\\made";
  DeleteFileW(done.c_str());
  ASSERT_TRUE(
      StartUnix(L"sh", "-c \"cd " + UnixPath(folder) + " && " + command + " && touch " + UnixPath(done) + "\""));
  ASSERT_TRUE(WaitFor([&] { return Exists(done); }));
}

// Generated trees: a deep chain, a wide folder, empty folders, names that
// differ only in case, hidden files, links out of and back into the tree.
void MakeGeneratedTree(int seed) {
  MakeFolder(kT);
  const std::string depth = std::to_string(20 + 15 * seed), width = std::to_string(100 + 50 * seed);
  Shell(kT, "mkdir -p deep/" + std::string(30, 'd') + " && n=0 && p=deep && while [ $n -lt " + depth +
                " ]; do p=$p/l$n; mkdir $p; : > $p/f$n; n=$((n+1)); done"
                " && mkdir wide && cd wide && seq -f f%g 1 " +
                width +
                " | xargs touch && seq 200 260 | xargs mkdir"
                " && for i in $(seq 200 " +
                std::to_string(2 + seed) +
                " 260); do touch $i/a $i/.hidden;"
                " mkdir $i/empty; done && cd .. && mkdir Case case && touch Case/x Case/X case/x"
                " && mkdir Case/Sub Case/sub && touch Case/sub/y && ln -s ../wide Case/out && ln -s .. wide/201/up"
                " && touch .dot");
  MakeFile(kT + L"\\hidden.txt", FILE_ATTRIBUTE_HIDDEN);
}

TEST_F(SearchWalk, GeneratedTreesGiveTheSameListsAsAPlainWalk) {
  for (int seed = 0; seed < 3; ++seed) {
    RemoveTree(kT);
    MakeGeneratedTree(seed);
    Paths files, folders;
    long count = 0;
    ReferenceWalk(kT + L"\\", files, folders, count);
    ASSERT_GT(files.size(), 150u);
    for (int run = 0; run < 15; ++run) {
      Outcome r = Search(kT + L"\\*.*", true);
      ASSERT_EQ(files_, files) << "seed " << seed << " run " << run;
      ASSERT_EQ(folders_, folders) << "seed " << seed << " run " << run;
      EXPECT_EQ(r.count, count);
      EXPECT_EQ(r.result, DirExSuccess);
    }
  }
}

// A message-only window that runs a BackgroundSearch through its own
// message loop, as the program's window does.
class SearchWindow {
 public:
  static constexpr UINT kProgress = WM_APP + 2, kEnded = WM_APP + 3;
  SearchWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"SearchWalkWindow";
    RegisterClassW(&wc);
    hwnd_ = CreateWindowW(wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  }
  ~SearchWindow() { DestroyWindow(hwnd_); }
  HWND hwnd() const { return hwnd_; }

  // Runs the search to its end message; `onProgress` sees each folder the
  // progress messages give. The result (what it found is in `found`).
  long Run(const std::wstring& pattern, const std::function<void(const std::wstring&)>& onProgress) {
    progressCount = 0;
    if (!search.Start(hwnd_, kProgress, kEnded, pattern, true)) return -1;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
      if (msg.hwnd == hwnd_ && msg.message == kProgress) {
        ++progressCount;
        onProgress(search.TakeProgress());
      } else if (msg.hwnd == hwnd_ && msg.message == kEnded && search.Ended()) {
        found = search.TakeResult();
        return found.result;
      }
      DispatchMessageW(&msg);
    }
    return -1;
  }

  BackgroundSearch search;
  SearchResult found;
  int progressCount = 0;

 private:
  HWND hwnd_ = nullptr;
};

// Stops at random moments: from CurrentFolder, from another thread, and
// from the window's own loop while the search runs on a thread of its own.
// A search either ends stopped with nothing added, or (when the stop came
// too late) whole.
TEST_F(SearchWalk, StopAtRandomMomentsAddsNothingAndTheNextSearchIsWhole) {
  MakeGeneratedTree(0);
  Shell(kT,
        "for i in $(seq 1 20); do mkdir -p more/$i && cd more/$i && seq 1 30 | xargs mkdir"
        " && for j in $(seq 1 30); do : > $j/a; : > $j/b; done && cd ../..; done");
  Paths files, folders;
  long count = 0;
  ReferenceWalk(kT + L"\\", files, folders, count);
  SearchWindow window;
  ASSERT_NE(window.hwnd(), nullptr);
  std::mt19937 rng(5);
  int stopped = 0;
  for (int round = 0; round < 24; ++round) {
    const int way = round % 3;
    const DWORD delay = rng() % 40;
    int events = static_cast<int>(rng() % 500);
    onFolder_ = [&](const std::wstring&) {
      if (way == 0 && --events == 0) find_.StopSearch();
    };
    std::thread stopper([&] {
      Sleep(delay);
      if (way == 1) find_.StopSearch();
    });
    Outcome r;
    if (way == 2) {
      int progressLeft = 1 + static_cast<int>(rng() % 4);
      window.Run(kT + L"\\*.*", [&](const std::wstring&) {
        if (--progressLeft == 0) window.search.Stop();
      });
      Keep(std::move(window.found));
      r = run_;
    } else {
      r = Search(kT + L"\\*.*", true);
    }
    stopper.join();
    if (r.result == UserCanceled) {
      ++stopped;
      EXPECT_TRUE(files_.empty());
      EXPECT_TRUE(folders_.empty());
    } else {
      ASSERT_EQ(r.result, DirExSuccess) << "round " << round;
      EXPECT_EQ(files_, files);
      EXPECT_EQ(folders_, folders);
    }
  }
  EXPECT_GT(stopped, 10);
  onFolder_ = nullptr;
  Outcome r = Search(kT + L"\\*.*", true);
  EXPECT_EQ(r.result, DirExSuccess);
  EXPECT_EQ(files_, files);
  EXPECT_EQ(r.count, count);
}

// A window's search runs beside its message loop: the loop gets the folders
// being searched as progress, then one end, and finds what the walk finds.
TEST_F(SearchWalk, SearchForAWindowTellsItsFoldersAndEndsOnce) {
  MakeGeneratedTree(0);
  Paths files, folders;
  long count = 0;
  ReferenceWalk(kT + L"\\", files, folders, count);
  SearchWindow window;
  ASSERT_NE(window.hwnd(), nullptr);
  std::vector<std::wstring> shown;
  EXPECT_EQ(window.Run(kT + L"\\*.*", [&](const std::wstring& folder) { shown.push_back(folder); }), DirExSuccess);
  EXPECT_EQ(window.found.files, files);
  EXPECT_EQ(window.found.folders, folders);
  ASSERT_GE(window.progressCount, 1);
  for (const std::wstring& folder : shown) EXPECT_EQ(folder.compare(0, kT.size(), kT), 0) << folder;
  // Nothing more comes once the end was taken.
  window.search.Forget();
  MSG msg;
  EXPECT_FALSE(PeekMessageW(&msg, window.hwnd(), SearchWindow::kProgress, SearchWindow::kEnded, PM_REMOVE));
}

}  // namespace
}  // namespace search
