// WindowJob's thread and its posted messages.
#include "base/window_job_win.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <vector>
#include <system_error>
#include <thread>

namespace base {
namespace {

// The shortest time between two progress messages: about thirty a second.
constexpr std::chrono::milliseconds kProgressGap{33};

// The jobs whose work is running, for the program's end.
struct RunningJobs {
  std::mutex lock;
  std::condition_variable ended;
  std::vector<WindowJob*> jobs;
};

RunningJobs& Running() {
  static RunningJobs* running = new RunningJobs;  // never destroyed: threads may outlive the statics
  return *running;
}

}  // namespace

bool WindowJob::StopAllAndWait(std::chrono::milliseconds limit) {
  RunningJobs& running = Running();
  std::unique_lock<std::mutex> hold(running.lock);
  for (WindowJob* job : running.jobs) job->Stop();
  return running.ended.wait_for(hold, limit, [&] { return running.jobs.empty(); });
}

std::shared_ptr<WindowJob> WindowJob::Start(HWND window, UINT progressMessage, UINT endMessage, Work work) {
  auto job = std::make_shared<WindowJob>(window, progressMessage, endMessage);
  try {
    // The thread holds the job, so it outlives a window that goes first.
    std::thread([job, work = std::move(work)] { job->Run(work); }).detach();
  } catch (const std::system_error&) {
    return nullptr;
  }
  return job;
}

void WindowJob::Run(const Work& work) {
  {
    std::lock_guard<std::mutex> hold(Running().lock);
    Running().jobs.push_back(this);
  }
  try {
    work(*this);
  } catch (...) {
    // Carried to the window, whose Guard reports it: no thread of ours
    // reports beside the window that waits for the job's end.
    const trap::Carried failure = trap::CarryCurrent();
    std::lock_guard<std::mutex> hold(lock_);
    failure_ = failure;
  }
  ended_.store(true, std::memory_order_release);
  Post(endMessage_);
  RunningJobs& running = Running();
  std::lock_guard<std::mutex> hold(running.lock);
  running.jobs.erase(std::find(running.jobs.begin(), running.jobs.end(), this));
  running.ended.notify_all();
}

void WindowJob::TellProgress() {
  if (progressWaiting_.load(std::memory_order_relaxed)) return;
  const auto now = std::chrono::steady_clock::now();
  if (now - lastPosted_ < kProgressGap) return;
  lastPosted_ = now;
  progressWaiting_ = true;
  Post(progressMessage_);
}

bool WindowJob::Failed() const {
  std::lock_guard<std::mutex> hold(lock_);
  return static_cast<bool>(failure_);
}

void WindowJob::ThrowFailure() const {
  trap::Carried failure;
  {
    std::lock_guard<std::mutex> hold(lock_);
    failure = failure_;
  }
  if (failure) trap::Rethrow(failure);
}

void WindowJob::Forget() {
  std::lock_guard<std::mutex> hold(lock_);
  window_ = nullptr;
}

void WindowJob::Post(UINT message) {
  std::lock_guard<std::mutex> hold(lock_);
  if (window_) PostMessageW(window_, message, 0, 0);
}

std::unique_ptr<TextJob> TextJob::Start(HWND window, UINT progressMessage, UINT endMessage, Work work) {
  std::unique_ptr<TextJob> made(new TextJob);
  made->text_ = std::make_shared<std::wstring>();
  made->job_ = WindowJob::Start(window, progressMessage, endMessage,
                                [text = made->text_, work = std::move(work)](WindowJob& job) { *text = work(job); });
  if (!made->job_) return nullptr;
  return made;
}

TextJob::~TextJob() {
  job_->Stop();
  job_->Forget();
}

std::wstring TextJob::Take() {
  job_->ThrowFailure();
  return std::move(*text_);
}

}  // namespace base
