// The add command: one or more files through the open dialog, or a folder
// through the shell's folder browser and the folder search, which runs on
// a thread of its own while the window's message loop goes on and hands its
// result to the command at its end. A step that fails is reported by the
// error trap (the statement and why), and the command goes on without it.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "app/add_folder_browser_win.h"
#include "app/add_texts.h"
#include "app/commands_win.h"
#include "app/main_window_win.h"
#include "base/paths.h"
#include "base/paths_win.h"
#include "base/program_win.h"
#include "base/text_utils.h"
#include "dialogs/file_dialogs_win.h"
#include "listfile/list_file.h"
#include "listfile/protected_places_win.h"
#include "search/file_find_win.h"
#include "base/error_trap.h"

namespace app {
namespace {

// The flags this command writes into the dialog record (ShowOpen uses its own).
constexpr DWORD kAddFileFlags = OFN_LONGNAMES | OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY;
// How often the status bar and progress bar follow a long operation.
constexpr DWORD kShowEveryMs = 250;

int Ask(HWND owner, const std::wstring& text, const wchar_t* title, UINT style) {
  return MessageBoxW(owner, text.c_str(), title, style);
}

// What the search's thread makes of what its walk found, so that the
// window only takes it: the list's entries in their order (the subfolders
// found, all but the chosen folder itself, which has its own question,
// when wanted; then the files, in the order of the search), and the
// protected folders found inside the chosen one, in walk order. The found
// paths are moved, not copied, into the entries. The first `room` entries
// are left empty for the entries the list holds, so that the window moves
// its own few rather than the many found.
struct PreparedEntries {
  size_t room = 0;
  std::vector<Entry> entries;
  size_t files = 0;  // of the entries
  std::vector<std::pair<std::wstring, listfile::Place>> protectedFolders;
  base::trap::Carried failure;  // what went wrong making them, for the window to report
};

void PrepareEntries(search::SearchResult& found, bool withSubfolders, listfile::ProtectedPlaces* places,
                    PreparedEntries& prepared) {
  try {
    if (places) {
      for (size_t i = 1; i < found.folders.size(); ++i) {
        if (std::optional<listfile::Place> place = ST(places->FindIfShallow(found.folders[i])))
          ST(prepared.protectedFolders.emplace_back(found.folders[i], *place));
      }
    }
    std::vector<Entry>& entries = prepared.entries;
    ST(entries.reserve(prepared.room + found.files.size() +
                       (withSubfolders && !found.folders.empty() ? found.folders.size() - 1 : 0)));
    ST(entries.resize(prepared.room));
    if (withSubfolders) {
      for (size_t i = 1; i < found.folders.size(); ++i)
        ST(AppendEntry(entries, std::move(found.folders[i]), listfile::kFolderType));
    }
    const std::wstring fileType(listfile::kFileType);
    for (std::wstring& file : found.files) ST(AppendEntry(entries, std::move(file), fileType));
    prepared.files = found.files.size();
    found = search::SearchResult{{}, {}, found.fileCount, found.result};
  } catch (...) {
    prepared.failure = base::trap::CarryCurrent();
  }
}

// A protected folder inside the chosen one (a Desktop kept in a synced
// folder, say) asks too; No leaves it out with everything found inside it.
// `beforeAsking` runs once, before the first question.
template <class BeforeAsking>
void LeaveOutProtected(HWND owner, PreparedEntries& prepared, BeforeAsking&& beforeAsking) {
  std::vector<std::wstring> refused;
  bool asked = false;
  for (const auto& [folder, place] : prepared.protectedFolders) {
    if (!refused.empty() && folder.compare(0, refused.back().size(), refused.back()) == 0) continue;
    if (!asked) beforeAsking();
    asked = true;
    if (!listfile::Confirm(owner, folder, place)) refused.push_back(folder);
  }
  if (refused.empty()) return;
  std::vector<Entry>& entries = prepared.entries;
  search::LeaveOutFolders(entries, refused, [](const Entry& entry) -> const std::wstring& { return entry.path; });
  prepared.files = static_cast<size_t>(std::count_if(
      entries.begin(), entries.end(), [](const Entry& e) { return e.kind == listfile::RecordKind::File; }));
}

// The prepared entries go into the list; the progress bar ends at the
// count of files taken.
void AddSearchResults(MainWindow& window, PreparedEntries& prepared) {
  const size_t files = prepared.files;
  DeleteList& list = window.List();
  list.Append(std::move(prepared.entries), prepared.room);
  prepared = PreparedEntries();
  window.SetProgressMax(static_cast<long>(files));
  window.SetProgressValue(static_cast<long>(files));
  window.SetStatus(ItemsLoadedText(list.Count()));
}

// One add command from its "Clear" question to its closing status. The
// questions are asked at once; each chosen folder's search runs on a thread
// of its own, and the command goes on when the search's end message comes
// to the window's one message loop. One add runs at a time.
class AddRun {
 public:
  AddRun(MainWindow& window, std::function<void()> done) : window_(window), done_(std::move(done)) {}

  // Asks "Clear" when `askClear`, then takes `firstSteps`, which adds what
  // needs no search and gives the folders to search one after another.
  template <class FirstSteps>
  void Begin(bool askClear, FirstSteps&& firstSteps);
  void OnSearchProgress();
  void OnSearchEnded();

 private:
  void NextFolder();
  bool StartFolder(const std::wstring& chosen);
  void EndFolder(bool stopped);
  void Finish(bool finished);

  MainWindow& window_;
  std::function<void()> done_;
  listfile::ProtectedPlaces places_;
  std::wstring statusBefore_;
  size_t countBefore_ = 0;
  bool cleared_ = false;
  std::vector<std::wstring> folders_;
  size_t nextFolder_ = 0;
  // The folder being searched, and the entries its search's thread made.
  search::BackgroundSearch search_;
  std::shared_ptr<PreparedEntries> prepared_;
  std::optional<listfile::Place> chosenPlace_;
  bool withSubfolders_ = false;
  std::wstring folderStatusBefore_;
  DWORD shownAt_ = 0;
};

std::unique_ptr<AddRun>& RunningAdd() {
  static std::unique_ptr<AddRun> add;
  return add;
}

template <class FirstSteps>
void AddRun::Begin(bool askClear, FirstSteps&& firstSteps) {
  window_.SetBusy(true);
  statusBefore_ = window_.StatusText();
  if (askClear && !window_.List().Empty() &&
      Ask(window_.hwnd(), kClearQuestion, kClearTitle, MB_YESNO | MB_ICONINFORMATION) == IDYES) {
    window_.ClearList();
    cleared_ = true;
  }
  countBefore_ = window_.List().Count();
  base::trap::Guard([&] { ST(folders_ = firstSteps(places_)); });
  NextFolder();
}

void AddRun::NextFolder() {
  while (nextFolder_ < folders_.size()) {
    if (StartFolder(folders_[nextFolder_++])) return;  // the search's end message goes on
  }
  Finish(true);
}

// Folder mode's steps for one chosen folder: the protected-location
// question, the two "Directory" questions, then the search is started.
// False when nothing is searched.
bool AddRun::StartFolder(const std::wstring& chosen) {
  HWND owner = window_.hwnd();
  bool allowed = false;
  chosenPlace_.reset();
  base::trap::Guard([&] {
    ST(chosenPlace_ = places_.Find(chosen));
    allowed = !chosenPlace_ || ST(listfile::Confirm(owner, chosen, *chosenPlace_));
  });
  if (!allowed) return false;
  const std::wstring pattern = SearchPatternFor(chosen);
  const std::wstring folderText = base::paths::FolderPart(pattern);
  const UINT style = MB_YESNOCANCEL | MB_ICONQUESTION;
  withSubfolders_ = Ask(owner, SubfolderQuestion(folderText), kDirectoryTitle, style) == IDYES;
  const bool addFolder = Ask(owner, FolderQuestion(folderText), kDirectoryTitle, style) == IDYES;
  // The search's status goes back as it was, unless the found entries
  // replace it; each repaint of it costs a moment at the end of an add.
  folderStatusBefore_ = window_.StatusText();
  // Yes to a protected folder covers what it holds; inside any other
  // folder each protected one found is asked about on its own. The
  // search's thread looks for them with places of its own.
  bool started = false;
  base::trap::Guard([&] {
    auto prepared = std::make_shared<PreparedEntries>();
    prepared->room = window_.List().Count() + (addFolder ? 1 : 0);
    std::shared_ptr<listfile::ProtectedPlaces> places;
    if (!chosenPlace_) {
      ST(places_.Folders());  // found once, on this thread
      places = std::make_shared<listfile::ProtectedPlaces>(places_);
    }
    auto prepare = [prepared, places, withSubfolders = withSubfolders_](search::SearchResult& found) {
      PrepareEntries(found, withSubfolders, places.get(), *prepared);
    };
    started = ST(search_.Start(owner, kMsgSearchProgress, kMsgSearchEnded, pattern, window_.SubFoldersChecked(),
                               std::move(prepare)));
    if (started) prepared_ = std::move(prepared);
  });
  // The folder's own entry goes into the list while the search runs: the
  // search waits on nothing the window does.
  if (addFolder) {
    base::trap::Guard([&] { ST(window_.List().Append(FolderEntryText(folderText), listfile::kFolderType)); });
    window_.ListChanged();
  }
  if (!started) return false;
  shownAt_ = GetTickCount() - kShowEveryMs;
  window_.SetSearchStopper([this] { search_.Stop(); });
  return true;
}

// Shows the folder being searched a few times a second.
void AddRun::OnSearchProgress() {
  const std::wstring folder = search_.TakeProgress();
  if (folder.empty() || GetTickCount() - shownAt_ < kShowEveryMs) return;
  shownAt_ = GetTickCount();
  window_.SetStatus(SearchingText(folder));
}

void AddRun::OnSearchEnded() {
  if (!search_.Ended()) return;  // an end message of a search forgotten
  window_.SetSearchStopper(nullptr);
  const bool stopped = search_.TakeResult().result == search::UserCanceled;
  search_.Forget();
  EndFolder(stopped);
}

// A stopped search ends the whole command; otherwise the found entries are
// added and the next folder follows.
void AddRun::EndFolder(bool stopped) {
  bool added = false;
  std::shared_ptr<PreparedEntries> prepared = std::move(prepared_);
  if (!stopped && prepared) {
    HWND owner = window_.hwnd();
    base::trap::Guard([&] {
      if (prepared->failure) ST(base::trap::Rethrow(prepared->failure));
      ST(LeaveOutProtected(owner, *prepared, [&] { window_.SetStatus(folderStatusBefore_); }));
    });
    if (prepared->files > 0 && !prepared->failure) {
      base::trap::Guard([&] {
        ST(AddSearchResults(window_, *prepared));
        added = true;
      });
      window_.ListChanged();
    }
  }
  prepared.reset();
  if (!added) window_.SetStatus(folderStatusBefore_);
  if (stopped) {
    Finish(false);
  } else {
    NextFolder();
  }
}

// After a stopped search the status tells what the command had added by
// then. That report belongs to its own command: the next add replaces it,
// with the list's count when that add sets no status of its own. So does a
// count the add has made old by clearing the list or adding files to it;
// an empty status (nothing counted yet) stays as file mode leaves it.
void AddRun::Finish(bool finished) {
  const size_t count = window_.List().Count();
  const bool listChanged = cleared_ || count != countBefore_;
  base::trap::Guard([&] {
    if (!finished) {
      ST(window_.SetStatus(SearchStoppedText(count > countBefore_ ? count - countBefore_ : 0, count)));
    } else if (window_.StatusText() == statusBefore_ &&
               (IsSearchStoppedText(statusBefore_) || (listChanged && !statusBefore_.empty()))) {
      ST(window_.SetStatus(ItemsLoadedText(count)));
    }
  });
  const std::function<void()> done = std::move(done_);
  std::unique_ptr<AddRun> self = std::move(RunningAdd());  // this ends with the function
  window_.SetBusy(false);
  if (done) done();
}

// One add at a time, and nothing else on the list meanwhile.
template <class FirstSteps>
void RunAdding(MainWindow& window, bool askClear, FirstSteps&& firstSteps, std::function<void()> done = nullptr) {
  if (window.Busy() || RunningAdd()) {
    MessageBeep(MB_OK);
    if (done) done();
    return;
  }
  RunningAdd() = std::make_unique<AddRun>(window, std::move(done));
  RunningAdd()->Begin(askClear, std::forward<FirstSteps>(firstSteps));
}

// The files chosen in the open dialog; no folder to search.
std::vector<std::wstring> AddFiles(MainWindow& window, listfile::ProtectedPlaces& places) {
  dialogs::FileDialogResult answer;
  dialogs::FileDialogSettings settings;
  base::trap::Guard([&] {
    ST(settings.filter = dialogs::AllFilesFilter());
    settings.title = L"Show Open";
    ST(settings.initialFolder = base::paths::WithSeparator(base::paths::ProgramFolder()));
    settings.flags = kAddFileFlags;
  });
  base::trap::Guard([&] { ST(answer = dialogs::ShowOpen(window.hwnd(), settings)); });
  if (answer.cancelled) return {};
  base::trap::Guard([&] {
    for (const std::wstring& path : ST(ChosenPaths(answer.folder, answer.names, answer.count))) {
      if (!ST(listfile::MayAdd(window.hwnd(), places, path))) continue;
      ST(window.List().Append(path, listfile::kFileType));
    }
  });
  window.ListChanged();
  return {};
}

// The folder chosen in the folder browser, to be searched.
std::vector<std::wstring> ChooseFolder(MainWindow& window) {
  std::wstring chosen;
  base::trap::Guard([&] { ST(chosen = BrowseForFolderPath(window.hwnd(), kBrowseTitle)); });
  if (chosen.empty()) return {};
  return {chosen};
}

// Dropped files are added at once, in drop order; the dropped folders are
// given back to go through folder mode's steps. Names of nothing are
// passed over.
std::vector<std::wstring> AddDroppedFiles(MainWindow& window, listfile::ProtectedPlaces& places,
                                          const std::vector<std::wstring>& paths) {
  std::vector<std::wstring> folders;
  for (const std::wstring& path : paths) {
    const DWORD attributes = GetFileAttributesW(base::paths::Verbatim(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) continue;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
      folders.push_back(path);
    } else {
      base::trap::Guard([&] {
        if (!ST(listfile::MayAdd(window.hwnd(), places, path))) return;
        ST(window.List().Append(path, listfile::kFileType));
      });
    }
  }
  window.ListChanged();
  return folders;
}

}  // namespace

void RunAddCommand(MainWindow& window, bool fileMode) {
  RunAdding(window, true, [&window, fileMode](listfile::ProtectedPlaces& places) {
    return fileMode ? AddFiles(window, places) : ChooseFolder(window);
  });
}

void RunDropCommand(MainWindow& window, const std::vector<std::wstring>& paths) {
  RunAdding(window, true,
            [&window, &paths](listfile::ProtectedPlaces& places) { return AddDroppedFiles(window, places, paths); });
}

void RunQueuedPathsCommand(MainWindow& window, bool askClear, std::function<void()> done) {
  RunAdding(
      window, askClear,
      [&window](listfile::ProtectedPlaces& places) {
        return AddDroppedFiles(window, places, window.TakeQueuedPaths());
      },
      std::move(done));
}

void OnSearchProgress() {
  if (RunningAdd()) RunningAdd()->OnSearchProgress();
}

void OnSearchEnded() {
  if (RunningAdd()) RunningAdd()->OnSearchEnded();
}

}  // namespace app
