// The main window. It shows the delete list through a virtual list view and
// hands every command to the code that owns it; it holds no list, file or
// search logic of its own. Its code is split by concern: messages, commands
// and handed-in paths (main_window_win.cpp), the controls and their layout
// (main_window_controls_win.cpp), the menus (main_window_menus_win.cpp) and
// the list view (main_window_list_win.cpp).
#pragma once
#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "app/delete_list.h"
#include "base/window_win.h"
#include "services/about_window_win.h"

namespace app {

// Control and menu identifiers (the test driver uses the control ids).
enum ControlId : int {
  kAddGroup = 101,
  kAddFileOption = 102,
  kAddFolderOption = 103,
  kSubFoldersBox = 104,
  kAddButton = 105,
  kRemoveButton = 106,
  kSaveGroup = 107,
  kPasswordLabel = 108,
  kPasswordEdit = 109,
  kLoadListButton = 110,
  kSaveListButton = 111,
  kFileList = 112,
  kSelectAllButton = 113,
  kInvertButton = 114,
  kProgressBar = 115,
  kStatus = 116,
  kAddRuleOption = 117,
  kAddRoutinesOption = 118,
  kMenuAddFile = 201,
  kMenuAddFolder = 202,
  kMenuRemove = 203,
  kMenuExit = 204,
  kMenuAboutOmbrelay = 205,
  // The list's context menu.
  kMenuOpenFolder = 206,
  kMenuCopyPath = 207,
  kMenuTick = 208,
  kMenuUntick = 209,
  kMenuRemoveRows = 210,
  kMenuAddRule = 211,
  kMenuRunByItself = 212,
  kMenuRunLog = 213,
  kMenuAddRoutines = 214,
};

class MainWindow : public base::Window {
 public:
  // Creates the window, hidden, with all its controls.
  bool Create(HINSTANCE instance);
  HICON Icon() const { return icon_; }

  // The delete list. After changing it, call ListChanged() so the list view
  // shows the new count and rows.
  DeleteList& List() { return list_; }
  void ListChanged();
  // Empties the list and its selection.
  void ClearList();

  // The list file last saved or loaded, if any, and the SHA-256 digest of
  // its bytes as they were then: File > Run by itself approves that file,
  // and only while it still holds those bytes, the ones the window showed.
  const std::wstring& ListPath() const { return listPath_; }
  const std::wstring& ListDigest() const { return listDigest_; }
  void SetListFile(const std::wstring& path, const std::wstring& digest);

  void SetStatus(const std::wstring& text);
  std::wstring StatusText() const;
  void SetProgressMax(long maximum);
  void SetProgressValue(long value);
  bool AddFileSelected() const;
  bool AddRuleSelected() const;
  bool AddRoutinesSelected() const;
  bool SubFoldersChecked() const;
  void SetAboutCaption(const std::wstring& caption);

  void ShowCentred();
  // Shows the window where it was when the program last ended, or centred.
  void ShowPlaced();
  // Keeps the window's placement for the next start (editing mode only).
  void RememberPlacement();

  // While an add command runs, the list is the command's: every other
  // command that reads or changes it is refused (its buttons and menu items
  // greyed, a command or key that still arrives only beeps, drops are
  // turned away). Drops taken before the add started wait for its end.
  // A click on Add made while the add ran (a Stop pressed just as the
  // search ended) starts no other add.
  void SetBusy(bool busy);
  bool Busy() const { return busy_; }
  // While a folder search runs, the Add button reads "Stop" and pressing it
  // runs `stop`; an empty function puts the button back.
  void SetSearchStopper(std::function<void()> stop);

  // Paths handed in by the command line of this start or of later starts
  // (editing mode only). They are added together, as one drop, once no more
  // have come for a moment and the window takes drops; paths that come
  // just after the last ones, or while those are added (with no question
  // open), or just after they were, belong to the same selection and are
  // added without asking "Clear" again.
  void TakePathsFromOtherStarts();
  void QueuePaths(std::vector<std::wstring> paths);
  std::vector<std::wstring> TakeQueuedPaths();
  // Adds what waits (a drop, queued paths) once the window takes drops.
  void RunWaitingPaths();

  // The list editing commands, guarded by the error trap.
  void SelectAll();
  void InvertSelection();
  void RemoveSelected();

 private:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  bool OnCreate() override;
  void OnCommand(int id, int code) override;
  void Close() override;
  bool Refused(int id) const;
  bool ClickedWhileBusy() const;
  bool TakesDrops() const;
  LRESULT OnNotify(NMHDR* header);
  void OnContextMenu(HWND from, LPARAM at);
  void RunRowCommand(int command);
  std::wstring RowFolder(size_t row) const;
  std::vector<size_t> HighlightedRows() const;
  void OnDrop(std::vector<std::wstring> paths);
  void RunPendingDrop();
  LRESULT OnCopyData(const COPYDATASTRUCT* data);
  bool SameSelection() const;
  void OnQueueQuiet();
  void RunQueuedPaths();
  bool HasWaitingPaths() const;
  void BringToFront();
  void OnGetDispInfo(NMLVDISPINFOW* info);
  void OnListClick(NMITEMACTIVATE* item);
  void OnListKey(NMLVKEYDOWN* key);
  void OnListDoubleClick(NMITEMACTIVATE* item);
  void ToggleRows(int first, int last);
  void RepaintRows();
  void SetUpControls();
  void CreateMenuBar();
  void Layout() override;
  static SIZE FirstClientSize();
  static base::ControlTable Controls();

  HICON icon_ = nullptr;       // shared (LoadIcon), not owned
  HMENU aboutMenu_ = nullptr;  // owned by the menu bar
  services::AboutWindow about_;
  DeleteList list_;
  std::wstring status_;
  std::wstring listPath_;
  std::wstring listDigest_;
  std::vector<std::vector<std::wstring>> pendingDrops_;
  bool takesPaths_ = false;
  std::vector<std::wstring> queuedPaths_;
  bool queueQuiet_ = false;
  bool queueAsksClear_ = true;
  bool queueRunning_ = false;
  DWORD queueEndedAt_ = 0;
  DWORD lastHandOverAt_ = 0;
  bool busy_ = false;
  DWORD idleSince_ = 0;
  std::function<void()> stopSearch_;
};

// The one main window of the run.
MainWindow& TheMainWindow();

}  // namespace app
