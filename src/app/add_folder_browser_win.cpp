// The folder browser through the shell's automation objects: Shell, then
// Folder.Items, FolderItems.Item() (the folder itself) and FolderItem.Path.
#include "app/add_folder_browser_win.h"

#include "base/dispatch_win.h"

namespace app {
namespace {

using base::win::Variant;

constexpr WORD kGet = DISPATCH_METHOD | DISPATCH_PROPERTYGET;

base::win::ComRef<IDispatch> ShowBrowser(IDispatch* shell, HWND owner, const std::wstring& title) {
  Variant hwnd, caption, options, folder;
  HRESULT hr = base::win::Invoke(shell, L"BrowseForFolder", kGet,
                                 {base::win::NumberArg(hwnd, static_cast<long>(reinterpret_cast<LONG_PTR>(owner))),
                                  base::win::TextArg(caption, title), base::win::NumberArg(options, 0)},
                                 &folder.v);
  // Cancel comes back as success with a NULL folder object.
  return SUCCEEDED(hr) ? base::win::TakeObject(folder) : base::win::ComRef<IDispatch>();
}

std::wstring PathOf(IDispatch* folder) {
  Variant items, item, path;
  if (FAILED(base::win::Invoke(folder, L"Items", kGet, {}, &items.v))) return std::wstring();
  base::win::ComRef<IDispatch> itemList = base::win::TakeObject(items);
  if (!itemList || FAILED(base::win::Invoke(itemList.get(), L"Item", kGet, {}, &item.v))) return std::wstring();
  base::win::ComRef<IDispatch> self = base::win::TakeObject(item);
  if (!self || FAILED(base::win::Invoke(self.get(), L"Path", kGet, {}, &path.v)) || path.v.vt != VT_BSTR ||
      !path.v.bstrVal)
    return std::wstring();
  return std::wstring(path.v.bstrVal, SysStringLen(path.v.bstrVal));
}

}  // namespace

std::wstring BrowseForFolderPath(HWND owner, const std::wstring& title) {
  base::win::ComRef<IDispatch> shell;
  if (FAILED(base::win::CreateObject(L"Shell.Application", shell))) return std::wstring();
  base::win::ComRef<IDispatch> folder = ShowBrowser(shell.get(), owner, title);
  return folder ? PathOf(folder.get()) : std::wstring();
}

}  // namespace app
