// A named mutex held for the owner's lifetime: one holder at a time across
// programs. An abandoned mutex (its holder ended without letting go) is
// taken like a free one.
#pragma once
#include <windows.h>

#include <string>

#include "base/handles_win.h"

namespace base {

class NamedMutexLock {
 public:
  // Waits up to `waitMs` for the mutex (0: takes it only when free now).
  NamedMutexLock(const std::wstring& name, DWORD waitMs) : mutex_(CreateMutexW(nullptr, FALSE, name.c_str())) {
    if (!mutex_) return;
    const DWORD waited = WaitForSingleObject(mutex_.get(), waitMs);
    held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
  }
  ~NamedMutexLock() {
    if (held_) ReleaseMutex(mutex_.get());
  }
  NamedMutexLock(const NamedMutexLock&) = delete;
  NamedMutexLock& operator=(const NamedMutexLock&) = delete;
  bool Held() const { return held_; }

 private:
  base::win::unique_handle mutex_;
  bool held_ = false;
};

}  // namespace base
