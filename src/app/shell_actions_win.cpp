// "Show in folder" for the list's context menu.
#include "app/shell_actions_win.h"

#include <shellapi.h>
#include <shlobj.h>

namespace app {

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
