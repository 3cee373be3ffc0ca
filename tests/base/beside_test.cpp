// Beside: the work's value, or its failure at the statement it happened
// at, comes back on Get; a Beside let go waits for its work.
#include "base/beside.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace base {
namespace {

TEST(Beside, HandsBackItsValueOrItsFailureAtItsOwnStatementAndIsWaitedFor) {
  Beside<std::thread::id> id([] { return std::this_thread::get_id(); });
  EXPECT_NE(id.Get(), std::this_thread::get_id());
  Beside<int> failing([]() -> int {
    trap::Mark("beside/worker.cpp", 7);
    trap::Raise(53, L"File not found");
  });
  trap::Mark("beside/caller.cpp", 3);
  EXPECT_THROW(failing.Get(), trap::Failure);
  EXPECT_STREQ(trap::CurrentSite().file, "beside/worker.cpp");
  EXPECT_EQ(trap::CurrentSite().line, 7);
  std::atomic<bool> ended{false};
  {
    Beside<> slow([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      ended = true;
    });
    Beside<> unasked([] { trap::Raise(5, L"left for the caller's own failure"); });
  }
  EXPECT_TRUE(ended);
}

}  // namespace
}  // namespace base
