// The routines window: the entries of a routines file that fit this
// computer, what each would take now, a filter, ticks and their total, and
// "Add". A survey on workers (app/routines_survey_win.h) does the reading
// and sizing; a newer survey and the window's closing stop the older one.
#pragma once
#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/routines_view.h"
#include "base/error_trap.h"
#include "base/window_job_win.h"
#include "base/window_win.h"
#include "listfile/routine.h"

namespace app {

// Control ids of the routines window and its details window (the test
// driver uses them).
enum RoutinesControlId : int {
  kRoutinesClose = IDCANCEL,
  kRoutinesFile = 501,
  kRoutinesChoose = 502,
  kRoutinesUpdate = 503,
  kRoutinesFitLine = 504,
  kRoutinesFindLabel = 505,
  kRoutinesFind = 506,
  kRoutinesShowAll = 507,
  kRoutinesList = 508,
  kRoutinesTotal = 509,
  kRoutinesDetails = 510,
  kRoutinesAdd = 511,
  kDetailsText = 521,
  kDetailsItems = 522,
};

class RoutineDetailsWindow;
class RoutinesSurvey;
struct RoutinesUpdate;

class RoutinesWindow : public base::Window {
 public:
  using Add = std::function<void(const std::vector<listfile::Routine>& routines)>;
  // Asks for a routines file with the open dialog; empty when cancelled.
  using Ask = std::function<std::wstring(HWND owner)>;

  RoutinesWindow();
  ~RoutinesWindow() override;

  // Opens the window over `owner` on the routines file `path` (none: the
  // window offers to choose one or to fetch the newest); "Add" runs
  // `add` with the ticked entries' routines and closes the window. False
  // when it could not open (or one is open already). `listPath` is the
  // list's file, when it has one: no entry counts it as taken.
  bool Open(HWND owner, HICON icon, const std::wstring& path, const std::wstring& listPath, Ask ask, Add add);

 private:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnCommand(int id, int code) override;
  void Close() override;
  bool OnCreate() override;
  LRESULT OnNotify(NMHDR* header);
  void StartSurvey(const std::wstring& path);
  void StopSurvey();
  void OnSurveyFound(bool ended);
  void SurveyFailed(const base::trap::Carried& failure);
  void StartUpdate(std::function<RoutinesUpdate()> work);
  void OnUpdateEnded();
  void OnGetDispInfo(NMLVDISPINFOW* info);
  void ToggleRow(int row);
  void ShowDetails();
  void OnAdd();
  void ShowRows();
  void ShowTotal();
  int FocusedRow() const;

  Ask ask_;
  Add add_;
  HICON icon_ = nullptr;
  std::wstring path_;
  std::wstring listPath_;
  RoutinesView view_;
  std::shared_ptr<RoutinesSurvey> survey_;
  std::shared_ptr<base::WindowJob> update_;
  std::shared_ptr<RoutinesUpdate> updated_;
  std::unique_ptr<RoutineDetailsWindow> details_;
};

}  // namespace app
