// Beside: one piece of work run on a thread of its own while the caller
// does something else, and its value or its failure handed back when the
// caller asks for it. A failure keeps the statement it happened at, so the
// Guard above the caller reports that statement. (OnThreads in
// worker_pool.h shares indices between several threads instead.)
// Portable: standard threads only.
#pragma once
#include <functional>
#include <optional>
#include <system_error>
#include <thread>
#include <type_traits>
#include <utility>

#include "base/error_trap.h"

namespace base {

template <class T = void>
class Beside {
 public:
  // Starts `work` on a new thread; when none can be started, the work runs
  // on the caller's at once.
  explicit Beside(std::function<T()> work) : work_(std::move(work)) {
    try {
      thread_ = std::thread([this] { Do(); });
    } catch (const std::system_error&) {
      Do();
    }
  }
  // Waits for the work. A failure nobody asked for is dropped only here,
  // where the caller already leaves by a failure of its own.
  ~Beside() { Wait(); }
  Beside(const Beside&) = delete;
  Beside& operator=(const Beside&) = delete;

  // Waits for the work; its value, or its failure thrown again at its own
  // statement.
  T Get() {
    Wait();
    if (failure_) trap::Rethrow(std::exchange(failure_, trap::Carried{}));
    if constexpr (!std::is_void_v<T>) return std::move(*value_);
  }

 private:
  struct Nothing {};

  void Do() noexcept {
    try {
      if constexpr (std::is_void_v<T>)
        work_();
      else
        value_.emplace(work_());
    } catch (...) {
      failure_ = trap::CarryCurrent();
    }
  }
  void Wait() {
    if (thread_.joinable()) thread_.join();
  }

  const std::function<T()> work_;
  std::optional<std::conditional_t<std::is_void_v<T>, Nothing, T>> value_;
  trap::Carried failure_;
  std::thread thread_;  // last: the work may write the others as soon as it starts
};

}  // namespace base
