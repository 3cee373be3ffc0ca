// The chunked pass: failures come back in item order when the chunks end
// out of order, every item is handled once, the calling thread hears how
// far the workers are while they work, and an exception from an item or
// from the progress ends the pass without leaving workers behind.
#include "removal/chunked_pass.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

namespace removal {
namespace {

using Clock = std::chrono::steady_clock;

// Spins until the condition holds or ten seconds pass.
template <typename Condition>
bool WaitFor(Condition condition) {
  const auto deadline = Clock::now() + std::chrono::seconds(10);
  while (!condition()) {
    if (Clock::now() > deadline) return false;
    std::this_thread::yield();
  }
  return true;
}

TEST(ChunkedPass, FailuresComeInItemOrderWhenTheFirstChunkEndsLast) {
  const size_t count = 1003, chunk = 10;
  std::vector<std::atomic<int>> hits(count);
  std::atomic<size_t> handled{0};
  bool firstWaited = false;  // written by item 0 only, read after the pass
  const auto failures = RunInChunks(
      count,
      [&](size_t i) -> unsigned long {
        if (i == 0) firstWaited = WaitFor([&] { return handled.load() == count - chunk; });
        ++hits[i];
        ++handled;
        return i % 7 == 3 || i % 100 == 0 ? i + 1 : 0;
      },
      [](size_t) {}, {4, chunk, std::chrono::milliseconds(1)});
  EXPECT_TRUE(firstWaited);
  std::vector<size_t> expected;
  for (size_t i = 0; i < count; ++i)
    if (i % 7 == 3 || i % 100 == 0) expected.push_back(i);
  ASSERT_EQ(failures.size(), expected.size());
  for (size_t k = 0; k < expected.size(); ++k) {
    EXPECT_EQ(failures[k].index, expected[k]);
    EXPECT_EQ(failures[k].code, expected[k] + 1);
  }
  for (size_t i = 0; i < count; ++i) EXPECT_EQ(hits[i].load(), 1) << i;
}

TEST(ChunkedPass, ProgressComesOnTheCallingThreadWhileTheWorkersRun) {
  const std::thread::id caller = std::this_thread::get_id();
  std::atomic<int> calls{0};
  size_t last = 0;
  bool rising = true, onCaller = true;
  bool heardWhileBusy = false;  // written by item 0 only
  const auto failures = RunInChunks(
      50,
      [&](size_t i) -> unsigned long {
        if (i == 0) heardWhileBusy = WaitFor([&] { return calls.load() >= 3; });
        return 0;
      },
      [&](size_t done) {
        onCaller = onCaller && std::this_thread::get_id() == caller;
        rising = rising && done >= last && done <= 50;
        last = done;
        ++calls;
      },
      {2, 5, std::chrono::milliseconds(1)});
  EXPECT_TRUE(failures.empty());
  EXPECT_TRUE(heardWhileBusy);
  EXPECT_TRUE(onCaller);
  EXPECT_TRUE(rising);

  calls = 0;
  EXPECT_TRUE(RunInChunks(
                  0, [](size_t) -> unsigned long { return 1; }, [&](size_t) { ++calls; }, {2})
                  .empty());
  EXPECT_EQ(calls.load(), 0);
}

TEST(ChunkedPass, AnItemsExceptionReachesTheCallerOnceTheOtherChunksEnd) {
  std::atomic<size_t> handled{0};
  auto work = [&](size_t i) -> unsigned long {
    ++handled;
    if (i == 15) throw std::runtime_error("item 15");
    return 0;
  };
  EXPECT_THROW(RunInChunks(100, work, [](size_t) {}, {3, 10, std::chrono::milliseconds(1)}), std::runtime_error);
  // Items 16 to 19 share the failing item's chunk; every other one ran.
  EXPECT_EQ(handled.load(), 96u);
}

TEST(ChunkedPass, AThrowingProgressLeavesOnceTheStartedChunksEnd) {
  std::atomic<size_t> handled{0};
  auto work = [&](size_t) -> unsigned long {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ++handled;
    return 0;
  };
  auto progress = [](size_t) { throw std::runtime_error("window gone"); };
  EXPECT_THROW(RunInChunks(400, work, progress, {2, 10, std::chrono::milliseconds(1)}), std::runtime_error);
  const size_t atReturn = handled.load();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_EQ(handled.load(), atReturn);
  EXPECT_LT(atReturn, 400u);
  EXPECT_EQ(atReturn % 10, 0u);
}

TEST(ChunkedPass, AStopEndsEachWorkerAfterItsItemAndTheRestComeBackUntried) {
  const size_t count = 600;
  std::atomic<bool> stop{false};
  std::vector<std::atomic<int>> hits(count);
  std::atomic<size_t> handled{0}, startedAfterStop{0};
  auto work = [&](size_t i) -> unsigned long {
    if (stop) ++startedAfterStop;
    ++hits[i];
    if (++handled == 50) stop = true;
    return i % 9 == 0 ? 7 : 0;
  };
  ChunkSetup setup{3, 20, std::chrono::milliseconds(1)};
  setup.stop = &stop;
  const auto failures = RunInChunks(
      count, work, [](size_t) {}, setup);
  // Every item is either handled once or handed back untried, in item order.
  size_t untried = 0, previous = 0;
  for (size_t k = 0; k < failures.size(); ++k) {
    const ItemFailure& f = failures[k];
    if (k) {
      EXPECT_GT(f.index, previous);
    }
    previous = f.index;
    if (f.code == kNotTried) {
      ++untried;
      EXPECT_EQ(hits[f.index].load(), 0) << f.index;
    } else {
      EXPECT_EQ(f.code, 7u);
      EXPECT_EQ(f.index % 9, 0u);
    }
  }
  EXPECT_EQ(handled.load() + untried, count);
  // Once the stop is raised, a worker at most finishes the item it had
  // already checked for; the rest of its chunk and every later chunk are
  // handed back.
  EXPECT_LE(startedAfterStop.load(), 3u);
  EXPECT_GT(untried, 0u);
}

}  // namespace
}  // namespace removal
