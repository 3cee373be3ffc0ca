// The worker pool: tasks run side by side on every worker, PostFirst goes
// ahead of waiting work, pending work can be dropped, and the pool always
// ends (also with work still queued); OnThreads does every index once, on
// the threads asked for, and a stop leaves the rest.
#include "base/worker_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

#include "base/error_trap.h"

namespace base {
namespace {

// A gate the tasks wait behind until the test opens it.
class Gate {
 public:
  void Open() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      open_ = true;
    }
    changed_.notify_all();
  }
  void Pass() {
    std::unique_lock<std::mutex> lock(mutex_);
    ++waiting_;
    changed_.notify_all();
    changed_.wait(lock, [this] { return open_; });
  }
  // True once n tasks wait at the gate at the same time.
  bool Reached(int n) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(10), [&] { return waiting_ >= n; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int waiting_ = 0;
  bool open_ = false;
};

TEST(WorkerPool, EveryWorkerRunsAtOnceAndWaitSeesAllTasksDone) {
  const size_t size = WorkerPool::DefaultSize();
  EXPECT_GE(size, 2u);
  EXPECT_LE(size, 8u);
  WorkerPool pool(size);
  ASSERT_EQ(pool.Size(), size);
  Gate gate;
  std::atomic<int> done{0};
  for (size_t i = 0; i < size; ++i)
    pool.Post([&] {
      gate.Pass();
      ++done;
    });
  for (int i = 0; i < 1000; ++i) pool.Post([&] { ++done; });
  EXPECT_TRUE(gate.Reached(static_cast<int>(size)));
  EXPECT_EQ(done.load(), 0);  // every worker is held at the gate
  gate.Open();
  pool.Wait();
  EXPECT_EQ(done.load(), static_cast<int>(size) + 1000);
  pool.Wait();  // an idle pool returns at once
}

TEST(WorkerPool, PostFirstRunsAheadAndCancelDropsOnlyWaitingWork) {
  WorkerPool pool(1);
  Gate gate;
  std::vector<int> order;  // written by the one worker, read after Wait
  pool.Post([&] { gate.Pass(); });
  ASSERT_TRUE(gate.Reached(1));
  pool.Post([&] { order.push_back(1); });
  pool.Post([&] { order.push_back(2); });
  pool.PostFirst([&] { order.push_back(3); });
  pool.PostFirst([&] { order.push_back(4); });
  gate.Open();
  pool.Wait();
  EXPECT_EQ(order, (std::vector<int>{4, 3, 1, 2}));

  Gate second;
  bool ranOn = false, dropped = false;
  pool.Post([&] {
    second.Pass();
    ranOn = true;
  });
  ASSERT_TRUE(second.Reached(1));
  pool.Post([&] { dropped = true; });
  pool.CancelPending();
  second.Open();
  pool.Wait();
  EXPECT_TRUE(ranOn);
  EXPECT_FALSE(dropped);
}

TEST(WorkerPool, EndsWithWorkStillQueuedAndTasksQueuingMore) {
  std::atomic<int> ran{0};
  std::function<void()> grow;  // outlives the pool and its tasks
  {
    WorkerPool pool(3);
    // Each task queues two more: work that would never run out.
    grow = [&] {
      ++ran;
      std::this_thread::yield();
      pool.Post(grow);
      pool.PostFirst(grow);
    };
    pool.Post(grow);
    while (ran < 100) std::this_thread::yield();
  }
  EXPECT_GE(ran.load(), 100);
}

TEST(OnThreads, EveryIndexOnceOnTheThreadsAskedForAndAStopLeavesTheRest) {
  std::vector<std::atomic<int>> done(500);
  std::atomic<size_t> highestThread{0};
  std::atomic<bool> stop{false};
  OnThreads(done.size(), 3, stop, [&](size_t i, size_t thread) {
    ++done[i];
    for (size_t seen = highestThread; thread > seen && !highestThread.compare_exchange_weak(seen, thread);) {
    }
  });
  for (const std::atomic<int>& d : done) EXPECT_EQ(d, 1);
  EXPECT_LE(highestThread, 2u);

  // Once the stop is seen, a thread ends the index it holds and takes no other;
  // the thread asking for the stop may be preempted first, so count only what
  // started after it was asked.
  std::atomic<size_t> afterStop{0};
  OnThreads(done.size(), 2, stop, [&](size_t i, size_t) {
    if (stop) ++afterStop;
    if (i == 9) stop = true;
  });
  EXPECT_TRUE(stop);
  EXPECT_LE(afterStop, 1u);

  std::atomic<size_t> ran{0};
  OnThreads(done.size(), 2, stop, [&](size_t, size_t) { ++ran; });
  EXPECT_EQ(ran, 0u);

  // A failure on another thread than the caller's comes to the caller, at
  // the worker's statement.
  stop = false;
  const auto failOnAWorker = [](size_t, size_t thread) {
    trap::Mark(thread == 1 ? "on/worker.cpp" : "on/caller.cpp", 4);
    if (thread == 1) throw std::runtime_error("on a worker");
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  };
  EXPECT_THROW(OnThreads(done.size(), 2, stop, failOnAWorker), std::runtime_error);
  EXPECT_STREQ(trap::CurrentSite().file, "on/worker.cpp");
}

}  // namespace
}  // namespace base
