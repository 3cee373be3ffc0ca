// One routine's details, from the routines window: its keys as the
// routines file writes them, what the window says of it, and on demand the
// items it takes now (the one answer for a routine, with the paths, on a
// window job of its own).
#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "base/window_job_win.h"
#include "base/window_win.h"
#include "routines/routines_file.h"

namespace app {

class RoutineDetailsWindow : public base::Window {
 public:
  // False when it could not open (or is open already).
  bool Open(HWND owner, HICON icon, const routines::Entry& entry, const std::wstring& listPath);

 private:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnCommand(int id, int code) override;
  void Close() override;
  void StartItems();
  void OnItemsEnded();
  void StopItems();

  routines::Entry entry_;
  std::wstring listPath_;
  std::wstring keysText_;
  std::unique_ptr<base::TextJob> items_;
};

}  // namespace app
