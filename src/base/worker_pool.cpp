// The worker pool: one mutex guards the queue and the running count.
#include "base/worker_pool.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "base/error_trap.h"

namespace base {

WorkerPool::WorkerPool(size_t workers) {
  threads_.reserve(workers);
  try {
    for (size_t i = 0; i < workers; ++i) threads_.emplace_back([this] { Run(); });
  } catch (...) {
    Close();  // join the workers that did start
    throw;
  }
}

WorkerPool::~WorkerPool() { Close(); }

void WorkerPool::Close() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    tasks_.clear();
    closing_ = true;
  }
  queued_.notify_all();
  for (std::thread& t : threads_) t.join();
  threads_.clear();
}

size_t WorkerPool::DefaultSize() { return std::clamp<size_t>(std::thread::hardware_concurrency(), 2, 8); }

void WorkerPool::Post(std::function<void()> task) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    tasks_.push_back(std::move(task));
  }
  queued_.notify_one();
}

void WorkerPool::PostFirst(std::function<void()> task) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    tasks_.push_front(std::move(task));
  }
  queued_.notify_one();
}

void WorkerPool::CancelPending() {
  std::lock_guard<std::mutex> lock(mutex_);
  tasks_.clear();
  if (running_ == 0) idle_.notify_all();
}

void WorkerPool::Wait() {
  std::unique_lock<std::mutex> lock(mutex_);
  idle_.wait(lock, [this] { return tasks_.empty() && running_ == 0; });
}

void WorkerPool::Run() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    queued_.wait(lock, [this] { return closing_ || !tasks_.empty(); });
    if (closing_) return;
    std::function<void()> task = std::move(tasks_.front());
    tasks_.pop_front();
    ++running_;
    lock.unlock();
    task();
    task = nullptr;  // whatever the task holds goes before it counts as done
    lock.lock();
    --running_;
    if (running_ == 0 && tasks_.empty()) idle_.notify_all();
  }
}

void OnThreads(size_t count, size_t threads, const std::atomic<bool>& stop,
               const std::function<void(size_t i, size_t thread)>& each) {
  std::atomic<size_t> next{0};
  std::atomic<bool> failed{false};
  std::mutex failureLock;
  trap::Carried failure;  // the first, thrown again once all have ended
  const auto work = [&](size_t thread) {
    try {
      for (size_t i; !stop.load(std::memory_order_relaxed) && !failed && (i = next.fetch_add(1)) < count;)
        each(i, thread);
    } catch (...) {
      std::lock_guard<std::mutex> hold(failureLock);
      if (!failure) failure = trap::CarryCurrent();
      failed = true;
    }
  };
  std::vector<std::thread> others;
  for (size_t t = 1; t < std::min(threads, count); ++t) {
    try {
      others.emplace_back(work, t);
    } catch (...) {
      break;
    }
  }
  work(0);
  for (std::thread& t : others) t.join();
  if (failure) trap::Rethrow(failure);
}

}  // namespace base
