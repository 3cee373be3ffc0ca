// One survey of a routines file for the routines window, on a window job
// and its workers: the file read, which entries fit, then what each fitting
// entry takes now. A failure on any worker ends the survey and is carried
// to the window, whose Guard reports it.
#pragma once
#include <windows.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "app/routines_view.h"
#include "base/error_trap.h"
#include "base/window_job_win.h"
#include "routines/routines_file.h"
#include "routines/variables.h"

namespace app {

class RoutinesSurvey {
 public:
  // What the window takes from the survey: each piece once.
  struct Found {
    std::shared_ptr<const routines::RoutinesFile> file;  // once read
    std::vector<Fit> fits;                               // once decided
    std::vector<std::pair<size_t, RoutineTake>> takes;   // as they come
    base::trap::Carried failure;                         // the survey ended on it
  };

  // Starts a survey of `path`; `listPath` (when the list has a file) is
  // never counted as taken. Null when no thread could be started.
  static std::shared_ptr<RoutinesSurvey> Start(HWND window, UINT progressMessage, UINT endMessage,
                                               const std::wstring& path, const std::wstring& listPath);

  // What was found since the last call (on a progress or the end message).
  Found Take();
  // From the window, once it shows what it took: the sizing, which waits a
  // moment for the fitting entries to show, may begin.
  void Shown();
  bool Ended() const { return job_->Ended(); }
  // Stops the work; nothing more is posted to the window.
  void Stop();

 private:
  void Run(base::WindowJob& job, const std::wstring& path, const std::wstring& listPath);
  void Survey(base::WindowJob& job, const std::wstring& path, const std::wstring& listPath);
  void Size(base::WindowJob& job, const routines::RoutinesFile& file, const std::vector<size_t>& fitting,
            const routines::VariableLookup& lookup, const std::wstring& listPath);
  void Fail(base::trap::Carried failure);

  std::shared_ptr<base::WindowJob> job_;
  std::mutex lock_;
  std::condition_variable shown_;  // the window shows what it took
  bool fitsTaken_ = false;
  bool fitsShown_ = false;
  Found found_;
};

}  // namespace app
