// Clipboard and "show in folder" for the list's context menu.
#include "app/shell_actions_win.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstring>

namespace app {
namespace {

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
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!memory) return false;
  void* target = GlobalLock(memory);
  if (!target) {
    GlobalFree(memory);
    return false;
  }
  std::memcpy(target, text.c_str(), bytes);
  GlobalUnlock(memory);
  ClipboardSession clipboard(owner);
  // Once SetClipboardData takes the memory, the clipboard owns it.
  if (!clipboard.Open() || !EmptyClipboard() || !SetClipboardData(CF_UNICODETEXT, memory)) {
    GlobalFree(memory);
    return false;
  }
  return true;
}

bool ShowInFolder(const std::wstring& path) {
  PIDLIST_ABSOLUTE item = ILCreateFromPathW(path.c_str());
  if (item) {
    const HRESULT hr = SHOpenFolderAndSelectItems(item, 0, nullptr, 0);
    ILFree(item);
    if (SUCCEEDED(hr)) return true;
  }
  // Older shells: the file browser's own switch does the same.
  const std::wstring arguments = L"/select,\"" + path + L"\"";
  return reinterpret_cast<INT_PTR>(
             ShellExecuteW(nullptr, L"open", L"explorer.exe", arguments.c_str(), nullptr, SW_SHOWNORMAL)) > 32;
}

}  // namespace app
