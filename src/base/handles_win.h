// RAII owners for Win32 handles. File handles fail as INVALID_HANDLE_VALUE,
// most others as NULL; each owner knows which one is "empty".
#pragma once
#include <windows.h>

#include <utility>

namespace base::win {

template <class T, class Traits>
class UniqueHandle {
  static T Invalid() { return Traits::Invalid(); }

 public:
  UniqueHandle() = default;
  explicit UniqueHandle(T h) : h_(h) {}
  UniqueHandle(UniqueHandle&& o) noexcept : h_(std::exchange(o.h_, Invalid())) {}
  UniqueHandle& operator=(UniqueHandle&& o) noexcept {
    reset(std::exchange(o.h_, Invalid()));
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { reset(); }

  T get() const { return h_; }
  explicit operator bool() const { return h_ != Invalid(); }
  T* put() {
    reset();
    return &h_;
  }
  T release() { return std::exchange(h_, Invalid()); }
  void reset(T h = Traits::Invalid()) {
    if (h_ != Invalid()) Traits::Close(h_);
    h_ = h;
  }

 private:
  T h_ = Traits::Invalid();
};

struct FileTraits {
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { ::CloseHandle(h); }
};
struct KernelTraits {
  static HANDLE Invalid() { return nullptr; }
  static void Close(HANDLE h) { ::CloseHandle(h); }
};
struct FindTraits {
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { ::FindClose(h); }
};
struct KeyTraits {
  static HKEY Invalid() { return nullptr; }
  static void Close(HKEY h) { ::RegCloseKey(h); }
};
struct HookTraits {
  static HHOOK Invalid() { return nullptr; }
  static void Close(HHOOK h) { ::UnhookWindowsHookEx(h); }
};
struct FontTraits {
  static HFONT Invalid() { return nullptr; }
  static void Close(HFONT h) { ::DeleteObject(h); }
};
struct MenuTraits {
  static HMENU Invalid() { return nullptr; }
  static void Close(HMENU h) { ::DestroyMenu(h); }
};

// CreateFile and friends: INVALID_HANDLE_VALUE is the empty value.
using unique_hfile = UniqueHandle<HANDLE, FileTraits>;
// Processes, threads, events: NULL is the empty value.
using unique_handle = UniqueHandle<HANDLE, KernelTraits>;
using unique_hfind = UniqueHandle<HANDLE, FindTraits>;
using unique_hkey = UniqueHandle<HKEY, KeyTraits>;
using unique_hhook = UniqueHandle<HHOOK, HookTraits>;
// A font must outlive every control it was set on.
using unique_hfont = UniqueHandle<HFONT, FontTraits>;
// A menu handed to a window (SetMenu) or to a menu above it (MF_POPUP)
// belongs to that one from then on: release() it.
using unique_hmenu = UniqueHandle<HMENU, MenuTraits>;

}  // namespace base::win
