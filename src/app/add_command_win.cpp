// The add command: one or more files through the open dialog, or a folder
// through the shell's folder browser and the folder search. It reports no
// failures: a step that fails is skipped and the command goes on.
#include <windows.h>

#include <commctrl.h>

#include <utility>

#include "app/add_folder_browser_win.h"
#include "app/add_texts.h"
#include "app/commands_win.h"
#include "app/main_window_win.h"
#include "base/paths.h"
#include "base/program_win.h"
#include "base/text_utils.h"
#include "dialogs/file_dialogs_win.h"
#include "listfile/protected_places_win.h"
#include "search/file_find_win.h"
#include "search/found_lists.h"

namespace app {
namespace {

// The flags this command writes into the dialog record (ShowOpen uses its own).
constexpr DWORD kAddFileFlags = OFN_LONGNAMES | OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY;
// How often the status bar and progress bar follow a long operation.
constexpr DWORD kShowEveryMs = 250;

template <class Step>
void Quietly(Step&& step) noexcept {
  try {
    step();
  } catch (...) {
  }
}

// Runs a step when the scope ends, however it ends: the window's states
// that last as long as a command or a search.
template <class Step>
class AtEnd {
 public:
  explicit AtEnd(Step step) : step_(std::move(step)) {}
  ~AtEnd() { step_(); }
  AtEnd(const AtEnd&) = delete;
  AtEnd& operator=(const AtEnd&) = delete;

 private:
  Step step_;
};

int Ask(HWND owner, const std::wstring& text, const wchar_t* title, UINT style) {
  return MessageBoxW(owner, text.c_str(), title, style);
}

std::wstring ProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
    if (n == 0) return std::wstring();
    if (n < path.size()) {
      path.resize(n);
      return base::text::GetDirPath(path);
    }
    path.resize(path.size() * 2);
  }
}

// A chosen file costs one look at the disk; the protected folders are only
// looked up when a chosen path turns out to be a folder.
void AddFiles(MainWindow& window) {
  dialogs::FileDialogResult answer;
  dialogs::FileDialogSettings settings;
  Quietly([&] {
    settings.filter = dialogs::AllFilesFilter();
    settings.title = L"Show Open";
    settings.initialFolder = ProgramFolder() + L"\\";
    settings.flags = kAddFileFlags;
  });
  Quietly([&] { answer = dialogs::ShowOpen(window.hwnd(), settings); });
  if (answer.cancelled) return;
  Quietly([&] {
    listfile::ProtectedPlaces places;
    for (const std::wstring& path : ChosenPaths(answer.folder, answer.names, answer.count)) {
      if (listfile::MayAdd(window.hwnd(), places, path)) window.List().Append(path, kFileType);
    }
  });
  window.ListChanged();
}

// Shows the folder being searched a few times a second and lets Esc or the
// Stop button stop the search. Returns the search's result flag; the status
// keeps the last folder shown, for the caller to put back or replace.
long SearchFolder(MainWindow& window, const std::wstring& pattern, bool subfolders) {
  search::FileFinder finder;
  window.SetSearchStopper([&finder] { finder.StopSearch(); });
  const AtEnd addButtonBack([&window] { window.SetSearchStopper(nullptr); });
  long outcome = search::DirExFailed;
  DWORD shownAt = GetTickCount() - kShowEveryMs;
  finder.CurrentFolder = [&](const std::wstring& folder) {
    if (GetTickCount() - shownAt < kShowEveryMs) return;
    shownAt = GetTickCount();
    window.SetStatus(SearchingText(folder));
  };
  finder.Finished = [&](long, long result) { outcome = result; };
  finder.MessageFilter = [&](MSG& msg) {
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
      finder.StopSearch();
      return true;
    }
    return base::DispatchDialogMessage(&msg);
  };
  finder.SearchFile(pattern, subfolders, false);
  return outcome;
}

// Moves found paths into the list as entries, showing the position and
// path a few times a second, and once when done.
class Filler {
 public:
  explicit Filler(MainWindow& window) : window_(window), shownAt_(GetTickCount()) {}

  void Append(std::vector<std::wstring>& found, size_t first, const wchar_t* type) {
    const size_t last = search::UpperBound(found);
    window_.SetProgressMax(static_cast<long>(last));
    if (first > last) return;
    DeleteList& list = window_.List();
    for (size_t i = first; i <= last; ++i) {
      list.Append(std::move(found[i]), type);
      if (GetTickCount() - shownAt_ >= kShowEveryMs) Show(i);
    }
    shown_ = last;
  }

  // The last position, once anything was appended; the caller updates the
  // list view and the status after.
  void Finish() {
    if (shown_ > 0) window_.SetProgressValue(static_cast<long>(shown_));
  }

 private:
  // Shows the entry just appended.
  void Show(size_t position) {
    window_.SetProgressValue(static_cast<long>(position));
    window_.SetStatus(window_.List().Entries().back().path);
    window_.ListChanged();
    RedrawWindow(window_.hwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    shownAt_ = GetTickCount();
  }

  MainWindow& window_;
  DWORD shownAt_;
  size_t shown_ = 0;
};

// The subfolders found (all but the chosen folder itself, which has its own
// question) when wanted, then the files, in the order of the search. The
// found paths are moved, not copied, into the entries; the found lists are
// left empty.
void AddSearchResults(MainWindow& window, bool withSubfolders) {
  DeleteList& list = window.List();
  list.Reserve(list.Count() + search::FileList.size() + (withSubfolders ? search::FolderList.size() : 0));
  Filler filler(window);
  if (withSubfolders) filler.Append(search::FolderList, 2, kFolderType);
  filler.Append(search::FileList, 1, kFileType);
  filler.Finish();
  search::ResetFoundLists();
  window.SetStatus(ItemsLoadedText(list.Count()));
}

// A protected folder inside the chosen one (a Desktop kept in a synced
// folder, say) asks too; No leaves it out with everything found inside it.
// `beforeAsking` runs once, before the first question.
template <class BeforeAsking>
void LeaveOutProtected(HWND owner, listfile::ProtectedPlaces& places, BeforeAsking&& beforeAsking) {
  std::vector<std::wstring> refused;
  bool asked = false;
  for (size_t i = 2; i <= search::UpperBound(search::FolderList); ++i) {
    const std::wstring& folder = search::FolderList[i];
    if (!refused.empty() && folder.compare(0, refused.back().size(), refused.back()) == 0) continue;
    const std::optional<listfile::Place> place = places.FindIfShallow(folder);
    if (!place) continue;
    if (!asked) beforeAsking();
    asked = true;
    if (!listfile::Confirm(owner, folder, *place)) refused.push_back(folder);
  }
  search::LeaveOutFolders(refused);
}

// Folder mode's steps for one chosen folder: the protected-location
// question, the two "Directory" questions, the search and the entries.
// False when the user stopped the search.
bool AddChosenFolder(MainWindow& window, const std::wstring& chosen, listfile::ProtectedPlaces& places) {
  HWND owner = window.hwnd();
  std::optional<listfile::Place> chosenPlace;
  bool allowed = false;
  Quietly([&] {
    chosenPlace = places.Find(chosen);
    allowed = !chosenPlace || listfile::Confirm(owner, chosen, *chosenPlace);
  });
  if (!allowed) return true;
  const std::wstring pattern = SearchPatternFor(chosen);
  const std::wstring folderText = base::text::GetDirPath(pattern);
  const UINT style = MB_YESNOCANCEL | MB_ICONQUESTION;
  const bool withSubfolders = Ask(owner, SubfolderQuestion(folderText), kDirectoryTitle, style) == IDYES;
  if (Ask(owner, FolderQuestion(folderText), kDirectoryTitle, style) == IDYES) {
    Quietly([&] { window.List().Append(FolderEntryText(folderText), kFolderType); });
    window.ListChanged();
  }
  long result = search::DirExFailed;
  // The search's status goes back as it was, unless the found entries
  // replace it; each repaint of it costs a moment at the end of an add.
  const std::wstring statusBefore = window.StatusText();
  bool added = false;
  const AtEnd statusBack([&] {
    if (!added) window.SetStatus(statusBefore);
  });
  Quietly([&] {
    search::ResetFoundLists();
    result = SearchFolder(window, pattern, window.SubFoldersChecked());
  });
  if (result == search::UserCanceled) return false;
  // Yes to a protected folder covers what it holds; inside any other folder
  // each protected one found is asked about on its own.
  if (!chosenPlace) Quietly([&] { LeaveOutProtected(owner, places, [&] { window.SetStatus(statusBefore); }); });
  if (search::UpperBound(search::FileList) == 0) return true;
  Quietly([&] {
    AddSearchResults(window, withSubfolders);
    added = true;
  });
  window.ListChanged();
  return true;
}

// False when the user stopped the search.
bool AddFolder(MainWindow& window) {
  std::wstring chosen;
  Quietly([&] { chosen = BrowseForFolderPath(window.hwnd(), kBrowseTitle); });
  if (chosen.empty()) return true;
  listfile::ProtectedPlaces places;
  return AddChosenFolder(window, chosen, places);
}

// Dropped files first, in drop order, then each dropped folder through
// folder mode's steps; a stopped search ends the drop (and makes this
// false). Names of nothing are passed over.
bool AddDropped(MainWindow& window, const std::vector<std::wstring>& paths) {
  listfile::ProtectedPlaces places;
  std::vector<std::wstring> folders;
  for (const std::wstring& path : paths) {
    const DWORD attributes = GetFileAttributesW(base::paths::Verbatim(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) continue;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
      folders.push_back(path);
    } else {
      Quietly([&] {
        if (listfile::MayAdd(window.hwnd(), places, path)) window.List().Append(path, kFileType);
      });
    }
  }
  window.ListChanged();
  for (const std::wstring& folder : folders) {
    if (!AddChosenFolder(window, folder, places)) return false;
  }
  return true;
}

// After a stopped search the status tells what the command had added by
// then. That report belongs to its own command: the next add replaces it,
// with the list's count when that add sets no status of its own. So does a
// count the add has made old by clearing the list or adding files to it;
// an empty status (nothing counted yet) stays as file mode leaves it.
void ReportOutcome(MainWindow& window, bool finished, size_t countBefore, bool listChanged,
                   const std::wstring& statusBefore) {
  const size_t count = window.List().Count();
  if (!finished) {
    window.SetStatus(SearchStoppedText(count > countBefore ? count - countBefore : 0, count));
  } else if (window.StatusText() == statusBefore &&
             (IsSearchStoppedText(statusBefore) || (listChanged && !statusBefore.empty()))) {
    window.SetStatus(ItemsLoadedText(count));
  }
}

// One add at a time, and nothing else on the list meanwhile; "Clear" is
// asked before anything is added, unless `askClear` is false. `adding` is
// false when a search was stopped.
template <class Adding>
void RunAdding(MainWindow& window, bool askClear, Adding&& adding) {
  if (window.Busy()) {
    MessageBeep(MB_OK);
    return;
  }
  window.SetBusy(true);
  const AtEnd idleAgain([&window] { window.SetBusy(false); });
  const std::wstring statusBefore = window.StatusText();
  bool cleared = false;
  if (askClear && !window.List().Empty() &&
      Ask(window.hwnd(), kClearQuestion, kClearTitle, MB_YESNO | MB_ICONINFORMATION) == IDYES) {
    window.List().Clear();
    ListView_SetItemState(GetDlgItem(window.hwnd(), kFileList), -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    window.ListChanged();
    cleared = true;
  }
  const size_t countBefore = window.List().Count();
  bool finished = true;
  Quietly([&] { finished = adding(); });
  const bool listChanged = cleared || window.List().Count() != countBefore;
  Quietly([&] { ReportOutcome(window, finished, countBefore, listChanged, statusBefore); });
}

}  // namespace

void RunAddCommand(MainWindow& window, bool fileMode) {
  RunAdding(window, true, [&] {
    if (!fileMode) return AddFolder(window);
    AddFiles(window);
    return true;
  });
}

void RunDropCommand(MainWindow& window, const std::vector<std::wstring>& paths) {
  RunAdding(window, true, [&] { return AddDropped(window, paths); });
}

void RunQueuedPathsCommand(MainWindow& window, bool askClear) {
  RunAdding(window, askClear, [&] { return AddDropped(window, window.TakeQueuedPaths()); });
}

}  // namespace app
