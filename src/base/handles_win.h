// RAII owners for Win32 handles. File handles fail as INVALID_HANDLE_VALUE,
// most others as NULL; each owner knows which one is "empty".
#pragma once
#include <windows.h>

#include <objbase.h>
#include <oleauto.h>
#include <wininet.h>

#include <string>
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
struct GlobalTraits {
  static HGLOBAL Invalid() { return nullptr; }
  static void Close(HGLOBAL h) { ::GlobalFree(h); }
};
struct LocalTraits {
  static HLOCAL Invalid() { return nullptr; }
  static void Close(HLOCAL h) { ::LocalFree(h); }
};
struct InternetTraits {
  static HINTERNET Invalid() { return nullptr; }
  static void Close(HINTERNET h) { ::InternetCloseHandle(h); }
};
struct CoTaskMemTraits {
  static PWSTR Invalid() { return nullptr; }
  static void Close(PWSTR p) { ::CoTaskMemFree(p); }
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
// Memory handed out by GlobalAlloc (the clipboard's), by LocalAlloc
// (FormatMessage's buffer) and text the shell hands out (CoTaskMemAlloc).
using unique_hglobal = UniqueHandle<HGLOBAL, GlobalTraits>;
using unique_hlocal = UniqueHandle<HLOCAL, LocalTraits>;
using unique_cotaskmem_string = UniqueHandle<PWSTR, CoTaskMemTraits>;
// WinINet's sessions, connections and requests (closed by the fetcher's
// floor, which links WinINet).
using unique_hinternet = UniqueHandle<HINTERNET, InternetTraits>;

// Owns a BSTR: made from a text, filled by a COM call through put(), or
// adopted from a structure that hands one out.
class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(const std::wstring& text) : b_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
  static Bstr Adopt(BSTR b) {
    Bstr owned;
    owned.b_ = b;
    return owned;
  }
  Bstr(Bstr&& o) noexcept : b_(std::exchange(o.b_, nullptr)) {}
  Bstr& operator=(Bstr&&) = delete;
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  ~Bstr() { SysFreeString(b_); }
  BSTR get() const { return b_; }
  BSTR* put() {
    SysFreeString(b_);
    b_ = nullptr;
    return &b_;
  }
  std::wstring Text() const { return b_ ? std::wstring(b_, SysStringLen(b_)) : std::wstring(); }

 private:
  BSTR b_ = nullptr;
};

}  // namespace base::win
