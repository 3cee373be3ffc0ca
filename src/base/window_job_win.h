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
  // What an exception that left the work said; empty when none did.
  std::wstring Failure() const;
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
  std::wstring failure_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> progressWaiting_{false};
  std::atomic<bool> ended_{false};
  std::chrono::steady_clock::time_point lastPosted_{};  // the work's thread only
};

}  // namespace base
