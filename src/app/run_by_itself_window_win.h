// The "Run by itself" window: when the list runs with nobody there (never,
// at sign-in, every day or every week at a time), whether its files go to
// the Recycle Bin, and the list's password, which anything but Never needs.
// Like the rule window, it disables its owner while it is open and leaves
// the one message loop running.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "base/window_win.h"
#include "unattended/approval.h"

namespace app {

// Control ids of the window (the test driver uses them).
enum RunByItselfControlId : int {
  kRunOk = IDOK,
  kRunCancel = IDCANCEL,
  kRunListLabel = 501,
  kRunNever = 502,
  kRunSignIn = 503,
  kRunDaily = 504,
  kRunWeekly = 505,
  kRunDay = 506,
  kRunTimeLabel = 507,
  kRunTime = 508,
  kRunTimeHint = 509,
  kRunRecycle = 510,
  kRunPasswordLabel = 511,
  kRunPassword = 512,
};

// What the user chose.
struct RunChoice {
  unattended::Schedule schedule;
  bool recycle = false;
  std::wstring password;
};

class RunByItselfWindow : public base::Window {
 public:
  // Runs on OK with the choice; true closes the window, false keeps it open
  // (a wrong password, say: the callback has told the user why).
  using Done = std::function<bool(const RunChoice& choice)>;

  // Opens the window over `owner` for the list named `listName`, showing
  // `shown`. False when it could not open (or one is open already).
  bool Open(HWND owner, HICON icon, const std::wstring& listName, const RunChoice& shown, Done done);

 private:
  void OnCommand(int id, int code) override;
  void Close() override;
  void Fill(const std::wstring& listName, const RunChoice& shown);
  unattended::RunWhen ChosenWhen() const;
  void EnableFields();
  void OnOk();

  Done done_;
};

}  // namespace app
