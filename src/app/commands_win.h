// The commands the main window starts and the windows it opens. Each lives
// with the subsystem that owns it; the main window only calls them.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace app {

class MainWindow;

// Posted to the main window by a folder search that runs for the add
// command: progress (a few tens a second at most) and the end.
constexpr UINT kMsgSearchProgress = WM_APP + 40;
constexpr UINT kMsgSearchEnded = WM_APP + 41;

// The add command: files through the open dialog, folders through the
// shell's folder browser and the folder search. A folder's search runs on
// after the call returns; the window's busy state lasts until the command
// has ended.
void RunAddCommand(MainWindow& window, bool fileMode);
// Files and folders dropped on the window, added as the add command would:
// files first, then each folder through folder mode's steps.
void RunDropCommand(MainWindow& window, const std::vector<std::wstring>& paths);
// The paths handed in on command lines, added as a drop would add them;
// they are taken from the window's queue after the "Clear" question, which
// is left out when `askClear` is false. `done` runs when the command has
// ended (at once when another add still runs).
void RunQueuedPathsCommand(MainWindow& window, bool askClear, std::function<void()> done);
// The main window hands the search's messages on.
void OnSearchProgress();
void OnSearchEnded();
// Folder rules: "Add Rule" opens the rule window for a new rule, which
// becomes the list's last row on OK; a rule's row opens it on that rule,
// and OK changes the row. A row that is no rule (or a rule whose record does
// not read) opens nothing.
void RunRuleCommand(MainWindow& window);
void EditRuleCommand(MainWindow& window, size_t row);
// Cleaning routines: "Add routines" opens the routines window on the file
// remembered (asking for one the first time); its "Add" puts each ticked
// entry in the list as one row, unless a routine of that name is there.
void RunRoutinesCommand(MainWindow& window);
// Saving and loading the delete list.
void SaveListCommand(MainWindow& window);
void LoadListCommand(MainWindow& window);
// Lists that run by themselves: File > Run by itself approves the list file
// last saved or loaded (or withdraws its approval); after a save, a list
// that was approved and changed is offered for approval again; File > Run log opens the
// run log; at start-up, runs that found their approval broken are told of
// once.
void RunByItselfCommand(MainWindow& window);
void OfferReapproval(MainWindow& window, const std::wstring& listPath, const std::string& savedBytes);
void RunLogCommand(MainWindow& window);
void TellBrokenApprovals(MainWindow& window);

}  // namespace app
