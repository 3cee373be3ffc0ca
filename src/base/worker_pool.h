// A small fixed pool of worker threads taking tasks from one queue, for
// work that can run beside the user interface (listing folders, deleting
// files). Portable: standard threads only.
#pragma once
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace base {

class WorkerPool {
 public:
  // Starts the workers at once; they wait for tasks.
  explicit WorkerPool(size_t workers);
  // Drops the tasks not started yet, lets the running ones end and joins.
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  // As many workers as the machine has logical processors, at least 2 (a
  // slow listing then never holds up everything) and at most 8.
  static size_t DefaultSize();
  size_t Size() const { return threads_.size(); }

  // Queues a task behind the waiting ones. Tasks must not throw: an
  // exception leaving a task ends the program, as with std::thread.
  void Post(std::function<void()> task);
  // Queues a task ahead of the waiting ones (the newest runs first).
  void PostFirst(std::function<void()> task);
  // Drops the tasks that have not started; running ones carry on.
  void CancelPending();
  // Returns once no task is queued or running.
  void Wait();

 private:
  void Run();
  void Close();

  std::mutex mutex_;
  std::condition_variable queued_;  // a task was queued or the pool closes
  std::condition_variable idle_;    // the queue ran empty with nothing running
  std::deque<std::function<void()>> tasks_;
  size_t running_ = 0;
  bool closing_ = false;
  std::vector<std::thread> threads_;
};

// Runs `each(i, thread)` for every i in [0, count) on up to `threads`
// threads, the caller's among them, each taking the next index as it ends
// one; returns once all have ended. A raised `stop` leaves the rest
// undone. When no further thread can be started, the caller's does it all.
// An exception leaving `each` on any thread leaves the rest undone too and
// is thrown again on the caller's, at its own statement, once every thread
// has ended.
void OnThreads(size_t count, size_t threads, const std::atomic<bool>& stop,
               const std::function<void(size_t i, size_t thread)>& each);

}  // namespace base
