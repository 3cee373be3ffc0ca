// The clipboard as one writer uses it: open (with a few tries), empty, set
// Unicode text, close, whatever happens in between.
#include "base/clipboard_win.h"

#include <cstring>

#include "base/handles_win.h"

namespace base {
namespace {

using win::unique_hglobal;

// Opens the clipboard for one writer and closes it however the write ends.
class ClipboardSession {
 public:
  explicit ClipboardSession(HWND owner) {
    // Another program may hold it for a moment.
    for (int attempt = 0; attempt < 10 && !open_; ++attempt) {
      open_ = OpenClipboard(owner) != FALSE;
      if (!open_) Sleep(20);
    }
  }
  ~ClipboardSession() {
    if (open_) CloseClipboard();
  }
  ClipboardSession(const ClipboardSession&) = delete;
  ClipboardSession& operator=(const ClipboardSession&) = delete;
  bool Open() const { return open_; }

 private:
  bool open_ = false;
};

}  // namespace

bool CopyTextToClipboard(HWND owner, const std::wstring& text) {
  const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
  unique_hglobal memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
  void* target = memory ? GlobalLock(memory.get()) : nullptr;
  if (!target) return false;
  std::memcpy(target, text.c_str(), bytes);
  GlobalUnlock(memory.get());
  ClipboardSession clipboard(owner);
  if (!clipboard.Open() || !EmptyClipboard() || !SetClipboardData(CF_UNICODETEXT, memory.get())) return false;
  memory.release();  // the clipboard owns it now
  return true;
}

}  // namespace base
