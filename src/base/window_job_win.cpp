// WindowJob's thread and its posted messages.
#include "base/window_job_win.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <vector>
#include <system_error>
#include <thread>

#include "base/encoding.h"

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
  } catch (const std::exception& e) {
    std::lock_guard<std::mutex> hold(lock_);
    failure_ = enc::FromAnsi(e.what());
    if (failure_.empty()) failure_ = L"an unexpected error";
  } catch (...) {
    std::lock_guard<std::mutex> hold(lock_);
    failure_ = L"an unexpected error";
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

std::wstring WindowJob::Failure() const {
  std::lock_guard<std::mutex> hold(lock_);
  return failure_;
}

void WindowJob::Forget() {
  std::lock_guard<std::mutex> hold(lock_);
  window_ = nullptr;
}

void WindowJob::Post(UINT message) {
  std::lock_guard<std::mutex> hold(lock_);
  if (window_) PostMessageW(window_, message, 0, 0);
}

}  // namespace base
