// The routines window's survey: reading, fitting and sizing off the
// window's thread.
#include "app/routines_survey_win.h"

#include <atomic>
#include <memory>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "base/beside.h"
#include "base/paths.h"
#include "listfile/protected_places_win.h"
#include "routines/detection_checks_win.h"
#include "removal/routine_answer_win.h"
#include "routines/routines_file_win.h"
#include "routines/variables_win.h"

namespace app {
namespace {

constexpr std::chrono::milliseconds kShowFirst{500};
constexpr std::chrono::milliseconds kTellAgain{20};

// An answer's files and the folders it empties, by their path keys.
std::vector<TakenItem> ItemsOf(const removal::RoutineAnswer& answer) {
  std::vector<TakenItem> items;
  items.reserve(answer.paths.size() + answer.emptied.size());
  for (size_t i = 0; i < answer.paths.size(); ++i)
    items.push_back({base::paths::PathKey(answer.paths[i]), answer.sizes[i], false});
  for (const std::wstring& folder : answer.emptied) items.push_back({base::paths::PathKey(folder), 0, true});
  return items;
}

}  // namespace

std::shared_ptr<RoutinesSurvey> RoutinesSurvey::Start(HWND window, UINT progressMessage, UINT endMessage,
                                                      const std::wstring& path, const std::wstring& listPath) {
  auto survey = std::make_shared<RoutinesSurvey>();
  RoutinesSurvey* self = survey.get();
  // The work holds the survey, so the window may let it go first.
  survey->job_ =
      base::WindowJob::Start(window, progressMessage, endMessage,
                             [survey, self, path, listPath](base::WindowJob& job) { self->Run(job, path, listPath); });
  if (!survey->job_) return nullptr;
  return survey;
}

RoutinesSurvey::Found RoutinesSurvey::Take() {
  job_->ProgressTaken();
  std::lock_guard<std::mutex> hold(lock_);
  if (!found_.fits.empty()) fitsTaken_ = true;
  return std::exchange(found_, Found{});
}

void RoutinesSurvey::Shown() {
  {
    std::lock_guard<std::mutex> hold(lock_);
    fitsShown_ = fitsTaken_;
  }
  shown_.notify_all();
}

void RoutinesSurvey::Stop() {
  job_->Stop();
  job_->Forget();
}

// Whatever fails, on this thread or another, ends the survey and goes to
// the window: nothing fails in silence, and the window stays usable.
void RoutinesSurvey::Run(base::WindowJob& job, const std::wstring& path, const std::wstring& listPath) {
  try {
    Survey(job, path, listPath);
  } catch (...) {
    Fail(base::trap::CarryCurrent());
  }
}

void RoutinesSurvey::Fail(base::trap::Carried failure) {
  std::lock_guard<std::mutex> hold(lock_);
  if (!found_.failure) found_.failure = std::move(failure);
}

void RoutinesSurvey::Survey(base::WindowJob& job, const std::wstring& path, const std::wstring& listPath) {
  const std::atomic<bool>& stop = *job.StopFlag();
  std::string bytes;
  routines::RoutinesFile read;
  if (!routines::ReadRoutinesBytes(path, bytes, read.problem)) {
    std::lock_guard<std::mutex> hold(lock_);
    found_.file = std::make_shared<const routines::RoutinesFile>(std::move(read));
    return;
  }
  // A second worker gets the variables, picks the detection values from
  // the lines and lists the folders and keys they share while this one
  // reads the entries; then both check the values. What fails there comes
  // back here on Get.
  std::unique_ptr<routines::SystemVariables> system;
  routines::VariableLookup lookup;
  std::unique_ptr<routines::DetectionChecks> checks;
  std::atomic<bool> abandon{false};
  bool prepared = false;
  std::mutex preparing;
  std::condition_variable ready;
  const auto setPrepared = [&] {
    {
      std::lock_guard<std::mutex> hold(preparing);
      prepared = true;
    }
    ready.notify_all();
  };
  base::Beside<> second([&] {
    try {
      system = std::make_unique<routines::SystemVariables>();
      lookup = system->Lookup();
      checks = std::make_unique<routines::DetectionChecks>(bytes);
      checks->Prepare(lookup, stop);
      setPrepared();
      if (!abandon) checks->CheckAll(lookup, stop, abandon);
    } catch (...) {
      abandon = true;  // this thread stops checking and waits no longer
      setPrepared();
      throw;  // comes back here on Get
    }
  });
  // Whatever leaves this early tells the second worker to give up before
  // it is waited for.
  struct AbandonOnExit {
    std::atomic<bool>& abandon;
    ~AbandonOnExit() { abandon = true; }
  } abandonOnExit{abandon};
  auto file = std::make_shared<const routines::RoutinesFile>(routines::ReadRoutines(bytes));
  {
    std::lock_guard<std::mutex> hold(lock_);
    found_.file = file;
  }
  job.TellProgress();
  if (!file->problem.empty()) abandon = true;
  {
    std::unique_lock<std::mutex> hold(preparing);
    ready.wait(hold, [&] { return prepared; });
  }
  std::string().swap(bytes);
  if (!abandon) checks->CheckAll(lookup, stop, abandon);
  second.Get();
  if (abandon || stop) return;

  const std::vector<char> decided = checks->DecideFits(file->entries, lookup, stop);
  if (stop) return;
  std::vector<Fit> fits(decided.size(), Fit::DoesNotFit);
  std::vector<size_t> fitting;
  for (size_t i = 0; i < decided.size(); ++i) {
    if (!decided[i]) continue;
    fits[i] = Fit::Fits;
    fitting.push_back(i);
  }
  {
    std::lock_guard<std::mutex> hold(lock_);
    found_.fits = std::move(fits);
  }
  // The sizing waits a moment for the window to show the fitting entries
  // first, rather than taking the processor from it. A progress message
  // too soon after the last one is not posted: it is told again.
  const auto until = std::chrono::steady_clock::now() + kShowFirst;
  for (bool shown = false; !shown && !stop && std::chrono::steady_clock::now() < until;) {
    job.TellProgress();
    std::unique_lock<std::mutex> hold(lock_);
    shown = shown_.wait_for(hold, kTellAgain, [&] { return fitsShown_ || stop; });
  }
  Size(job, *file, fitting, lookup, listPath);
}

// Each fitting entry's answer, with the keys of its items: the window
// totals the ticked entries over those, an item two of them take once.
// Their fit was decided above; the answers do not decide it again.
void RoutinesSurvey::Size(base::WindowJob& job, const routines::RoutinesFile& file, const std::vector<size_t>& fitting,
                          const routines::VariableLookup& lookup, const std::wstring& listPath) {
  removal::NeverTaken never;
  if (!listPath.empty()) never.Add(listPath);
  std::vector<const listfile::Routine*> routines;
  for (size_t entry : fitting) routines.push_back(&file.entries[entry].routine);
  removal::AnswerRoutines(
      routines, removal::Fit::Fits, lookup, never, true, removal::kRoutinesSideBySide, *job.StopFlag(),
      [&](size_t k, removal::RoutineAnswer&& answer, size_t thread) {
        if (answer.stopped) return;
        try {
          RoutineTake take{true,           answer.files, answer.emptied.size(), answer.bytes, std::move(answer.refusal),
                           ItemsOf(answer)};
          std::lock_guard<std::mutex> hold(lock_);
          found_.takes.emplace_back(fitting[k], std::move(take));
        } catch (...) {
          Fail(base::trap::CarryCurrent());
          job.Stop();  // the rest is not sized: the window reports the failure
        }
        if (thread == 0) job.TellProgress();  // only the job's own thread tells
      });
}

}  // namespace app
