// The routines window's survey: reading, fitting and sizing off the
// window's thread.
#include "app/routines_survey_win.h"

#include <atomic>
#include <chrono>
#include <deque>
#include <string_view>
#include <thread>
#include <unordered_map>

#include "listfile/protected_places_win.h"
#include "removal/routine_answer_win.h"
#include "routines/detection_win.h"
#include "routines/routines_file_win.h"
#include "routines/variables_win.h"

namespace app {
namespace {

constexpr size_t kWorkers = 2;
constexpr std::chrono::milliseconds kShowFirst{500};

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

// The existence checks of a file's detection paths, begun on a second
// worker while the file is still being read into its entries: the file's
// Detect and DetectFile values are picked from its lines first (plain ASCII
// ones; any other is checked once the entries are read), each checked
// once. An entry then fits as routines::FitsComputer says, its values'
// answers taken from here.
class DetectionChecks {
 public:
  explicit DetectionChecks(const std::string& bytes) {
    for (size_t start = 0; start < bytes.size();) {
      size_t end = bytes.find('\n', start);
      if (end == std::string::npos) end = bytes.size();
      Pick(std::string_view(bytes).substr(start, end - start));
      start = end + 1;
    }
  }

  // Checks the values not taken yet, until none is left or `stop` or
  // `abandon` is raised; several threads may share the work.
  void CheckAll(const routines::VariableLookup& lookup, const std::atomic<bool>& stop,
                const std::atomic<bool>& abandon) {
    for (size_t i; !stop && !abandon && (i = next_.fetch_add(1)) < probes_.size();) {
      Probe& p = probes_[i];
      const bool exists = p.registry ? routines::RegistryKeyExists(p.value)
                                     : routines::DetectFileExists(p.value, lookup, stop);
      if (!stop) p.answer.store(exists ? 1 : 0, std::memory_order_release);
    }
  }

  // Once the checks have ended: whether the routine fits this computer.
  bool Fits(const listfile::Routine& routine, const routines::VariableLookup& lookup, const std::atomic<bool>& stop) {
    if (routine.detects.empty() && routine.detectFiles.empty()) return true;
    for (const std::wstring& key : routine.detects)
      if (Answer(true, key, [&] { return routines::RegistryKeyExists(key); })) return true;
    for (const std::wstring& path : routine.detectFiles)
      if (Answer(false, path, [&] { return routines::DetectFileExists(path, lookup, stop); })) return true;
    return false;
  }

 private:
  struct Probe {
    bool registry;
    std::wstring value;
    std::atomic<signed char> answer{-1};
  };

  void Pick(std::string_view line) {
    const auto trim = [](std::string_view text) {
      const size_t first = text.find_first_not_of(" \t\r");
      if (first == std::string_view::npos) return std::string_view();
      return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
    };
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) return;
    const std::string_view name = trim(line.substr(0, equals)), value = trim(line.substr(equals + 1));
    if (name.size() < 6 || (name[0] != 'D' && name[0] != 'd') || value.empty()) return;
    for (char c : value)
      if (static_cast<unsigned char>(c) >= 0x80) return;
    const listfile::KeyKind kind = listfile::KindOfKey(std::wstring(name.begin(), name.end()));
    if (kind != listfile::KeyKind::Detect && kind != listfile::KeyKind::DetectFile) return;
    const bool registry = kind == listfile::KeyKind::Detect;
    std::wstring text(value.begin(), value.end());
    auto& index = registry ? keys_ : paths_;
    if (index.count(text)) return;
    index.emplace(text, probes_.size());
    probes_.emplace_back().registry = registry;
    probes_.back().value = std::move(text);
  }

  template <class Check>
  bool Answer(bool registry, const std::wstring& value, Check check) {
    const auto& index = registry ? keys_ : paths_;
    const auto found = index.find(value);
    if (found != index.end()) {
      const signed char answer = probes_[found->second].answer.load(std::memory_order_acquire);
      if (answer >= 0) return answer == 1;
    }
    return check();
  }

  std::deque<Probe> probes_;  // atomics do not move
  std::unordered_map<std::wstring, size_t> keys_, paths_;
  std::atomic<size_t> next_{0};
};

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
  Found found;
  {
    std::lock_guard<std::mutex> hold(lock_);
    found = std::exchange(found_, Found{});
  }
  taken_.notify_all();
  return found;
}

void RoutinesSurvey::Stop() {
  job_->Stop();
  job_->Forget();
}

void RoutinesSurvey::Run(base::WindowJob& job, const std::wstring& path, const std::wstring& listPath) {
  const std::atomic<bool>& stop = *job.StopFlag();
  std::string bytes;
  routines::RoutinesFile read;
  if (!routines::ReadRoutinesBytes(path, bytes, read.problem)) {
    std::lock_guard<std::mutex> hold(lock_);
    found_.file = std::make_shared<const routines::RoutinesFile>(std::move(read));
    return;
  }
  // The existence checks start on a second worker while this one reads the
  // entries, and this one joins them once it has.
  const routines::SystemVariables system;
  const routines::VariableLookup lookup = system.Lookup();
  DetectionChecks checks(bytes);
  std::atomic<bool> abandon{false};
  std::thread second;
  try {
    second = std::thread([&] { checks.CheckAll(lookup, stop, abandon); });
  } catch (...) {
  }
  auto file = std::make_shared<const routines::RoutinesFile>(routines::ReadRoutines(bytes));
  std::string().swap(bytes);
  {
    std::lock_guard<std::mutex> hold(lock_);
    found_.file = file;
  }
  job.TellProgress();
  abandon = !file->problem.empty();
  checks.CheckAll(lookup, stop, abandon);
  if (second.joinable()) second.join();
  if (abandon || stop) return;

  const size_t n = file->entries.size();
  std::vector<Fit> fits(n, Fit::DoesNotFit);
  for (size_t i = 0; i < n && !stop; ++i) {
    const routines::Entry& e = file->entries[i];
    if (e.Understood() && checks.Fits(e.routine, lookup, stop)) fits[i] = Fit::Fits;
  }
  if (stop) return;
  std::vector<size_t> fitting;
  for (size_t i = 0; i < n; ++i)
    if (fits[i] == Fit::Fits) fitting.push_back(i);
  {
    std::lock_guard<std::mutex> hold(lock_);
    found_.fits = std::move(fits);
  }
  job.TellProgress();
  // The sizing waits a moment for the window to show the fitting entries
  // first, rather than taking the processor from it.
  {
    std::unique_lock<std::mutex> hold(lock_);
    taken_.wait_for(hold, kShowFirst, [&] { return found_.fits.empty() || stop; });
  }

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
