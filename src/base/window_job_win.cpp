// WindowJob's thread and its posted messages.
#include "base/window_job_win.h"

#include <exception>
#include <system_error>
#include <thread>

#include "base/encoding.h"

namespace base {
namespace {

// The shortest time between two progress messages: about thirty a second.
constexpr std::chrono::milliseconds kProgressGap{33};

}  // namespace

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
