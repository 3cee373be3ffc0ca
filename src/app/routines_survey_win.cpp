// The routines window's survey: reading, fitting and sizing off the
// window's thread.
#include "app/routines_survey_win.h"

#include <atomic>
#include <thread>

#include "listfile/protected_places_win.h"
#include "removal/routine_answer_win.h"
#include "routines/detection_win.h"
#include "routines/routines_file_win.h"
#include "routines/variables_win.h"

namespace app {
namespace {

constexpr size_t kWorkers = 2;

// Runs `each(i, worker)` for i in [0, count) on kWorkers threads (the
// caller's among them), taking the next index as each one ends.
template <class Each>
void OnWorkers(size_t count, const std::atomic<bool>& stop, Each each) {
  std::atomic<size_t> next{0};
  auto work = [&](size_t worker) {
    for (size_t i; !stop.load(std::memory_order_relaxed) && (i = next.fetch_add(1)) < count;) each(i, worker);
  };
  std::vector<std::thread> others;
  for (size_t w = 1; w < kWorkers; ++w) {
    try {
      others.emplace_back(work, w);
    } catch (...) {
      break;  // the caller's thread does it alone
    }
  }
  work(0);
  for (std::thread& t : others) t.join();
}

}  // namespace

std::shared_ptr<RoutinesSurvey> RoutinesSurvey::Start(HWND window, UINT progressMessage, UINT endMessage,
                                                      const std::wstring& path, const std::wstring& listPath) {
  auto survey = std::make_shared<RoutinesSurvey>();
  RoutinesSurvey* self = survey.get();
  // The work holds the survey, so the window may let it go first.
  survey->job_ = base::WindowJob::Start(window, progressMessage, endMessage,
                                        [survey, self, path, listPath](base::WindowJob& job) {
                                          self->Run(job, path, listPath);
                                        });
  if (!survey->job_) return nullptr;
  return survey;
}

RoutinesSurvey::Found RoutinesSurvey::Take() {
  job_->ProgressTaken();
  std::lock_guard<std::mutex> hold(lock_);
  return std::exchange(found_, Found{});
}

void RoutinesSurvey::Stop() {
  job_->Stop();
  job_->Forget();
}

void RoutinesSurvey::Run(base::WindowJob& job, const std::wstring& path, const std::wstring& listPath) {
  const std::atomic<bool>& stop = *job.StopFlag();
  auto file = std::make_shared<const routines::RoutinesFile>(routines::LoadRoutinesFile(path));
  {
    std::lock_guard<std::mutex> hold(lock_);
    found_.file = file;
  }
  job.TellProgress();
  if (!file->problem.empty() || stop) return;

  const routines::SystemVariables system;
  const routines::VariableLookup lookup = system.Lookup();
  const size_t n = file->entries.size();
  std::vector<Fit> fits(n, Fit::DoesNotFit);
  OnWorkers(n, stop, [&](size_t i, size_t) {
    const routines::Entry& e = file->entries[i];
    if (e.Understood() && routines::FitsComputer(e.routine, lookup, stop)) fits[i] = Fit::Fits;
  });
  if (stop) return;
  std::vector<size_t> fitting;
  for (size_t i = 0; i < n; ++i)
    if (fits[i] == Fit::Fits) fitting.push_back(i);
  {
    std::lock_guard<std::mutex> hold(lock_);
    found_.fits = std::move(fits);
  }
  job.TellProgress();

  removal::NeverTaken never;
  if (!listPath.empty()) never.Add(listPath);
  listfile::ProtectedPlaces places[kWorkers];
  OnWorkers(fitting.size(), stop, [&](size_t k, size_t worker) {
    const size_t entry = fitting[k];
    const removal::RoutineAnswer answer =
        removal::AnswerRoutine(file->entries[entry].routine, lookup, never, places[worker], false, stop);
    if (answer.stopped) return;
    RoutineTake take{true, answer.files, answer.emptied.size(), answer.bytes, answer.refusal};
    {
      std::lock_guard<std::mutex> hold(lock_);
      found_.takes.emplace_back(entry, std::move(take));
    }
    if (worker == 0) job.TellProgress();  // only the job's own thread tells
  });
}

}  // namespace app
