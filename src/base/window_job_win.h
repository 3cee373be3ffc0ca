// WindowJob: work done on a thread of its own while the window that started
// it keeps its one message loop. The work tells its progress and the window
// gets it as a posted message, never more than one waiting and at most
// about thirty a second; the end comes as one more posted message. Stop
// only raises a flag the work looks at. The job outlives its window when
// the window goes first: nothing is posted to it after Forget.
#pragma once
#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "base/error_trap.h"

namespace base {

class WindowJob {
 public:
  using Work = std::function<void(WindowJob& job)>;

  WindowJob(HWND window, UINT progressMessage, UINT endMessage)
      : window_(window), progressMessage_(progressMessage), endMessage_(endMessage) {}
  WindowJob(const WindowJob&) = delete;
  WindowJob& operator=(const WindowJob&) = delete;

  // Runs `work` on a new thread. Null when no thread could be started; the
  // work has then not run.
  static std::shared_ptr<WindowJob> Start(HWND window, UINT progressMessage, UINT endMessage, Work work);

  // From any thread: asks the work to end soon.
  void Stop() { stop_ = true; }
  bool Stopping() const { return stop_.load(std::memory_order_relaxed); }
  const std::atomic<bool>* StopFlag() const { return &stop_; }

  // From the work: the window may show progress now. Posts unless a
  // progress message still waits or one was posted a moment ago.
  void TellProgress();
  // From the window, on its progress message: the next one may be posted.
  void ProgressTaken() { progressWaiting_ = false; }
  // From the window, on its end message: true once the work has returned
  // (an end message of an older job finds its own job ended too).
  bool Ended() const { return ended_.load(std::memory_order_acquire); }
  // From the window, on its end message: true when a failure left the work.
  bool Failed() const;
  // From the window, on its end message, under the Guard of that message:
  // throws again what left the work, at the statement it left at; returns
  // when nothing did.
  void ThrowFailure() const;
  // From the window when it goes: nothing more is posted to it.
  void Forget();

  // At the program's end, before the destructors run: asks every job still
  // running to stop and waits up to `limit` for them to end. False when
  // some did not end in time.
  static bool StopAllAndWait(std::chrono::milliseconds limit);

 private:
  void Run(const Work& work);
  void Post(UINT message);

  mutable std::mutex lock_;  // guards window_ and failure_
  HWND window_;
  const UINT progressMessage_;
  const UINT endMessage_;
  trap::Carried failure_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> progressWaiting_{false};
  std::atomic<bool> ended_{false};
  std::chrono::steady_clock::time_point lastPosted_{};  // the work's thread only
};

// A window job whose work makes one text that the window shows at the
// job's end (a count, a list of items). Letting it go stops the work, and
// nothing more is posted to the window.
class TextJob {
 public:
  using Work = std::function<std::wstring(WindowJob& job)>;

  // Null when no thread could be started; the work has then not run.
  static std::unique_ptr<TextJob> Start(HWND window, UINT progressMessage, UINT endMessage, Work work);
  ~TextJob();
  TextJob(const TextJob&) = delete;
  TextJob& operator=(const TextJob&) = delete;

  // From the window, on its end message: true once the work has returned.
  bool Ended() const { return job_->Ended(); }
  // Once ended, under the Guard of the end message: the text, or the
  // work's failure thrown again at its statement.
  std::wstring Take();

 private:
  TextJob() = default;

  std::shared_ptr<std::wstring> text_;  // written by the work before its end
  std::shared_ptr<WindowJob> job_;
};

}  // namespace base
