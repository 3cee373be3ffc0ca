// The folder browser through the shell's automation objects: Shell, then
// Folder.Items, FolderItems.Item() (the folder itself) and FolderItem.Path.
#include "app/add_folder_browser_win.h"

#include <oleauto.h>

#include <memory>
#include <vector>

namespace app {
namespace {

struct Releaser {
  void operator()(IUnknown* p) const { p->Release(); }
};
using DispatchPtr = std::unique_ptr<IDispatch, Releaser>;

// A VARIANT that clears itself.
struct Variant : VARIANT {
  Variant() { VariantInit(this); }
  ~Variant() { VariantClear(this); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
};

// Calls a method or reads a property by name. `arguments` are in the
// order the member declares them.
bool Call(IDispatch* object, const wchar_t* name, std::vector<VARIANT> arguments, Variant& result) {
  DISPID id = 0;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  if (FAILED(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) return false;
  std::vector<VARIANT> reversed(arguments.rbegin(), arguments.rend());
  DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  return SUCCEEDED(object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &params,
                                  &result, nullptr, nullptr));
}

// Takes the object out of a VT_DISPATCH result; empty for a NULL object,
// which is how the browser reports Cancel.
DispatchPtr TakeObject(Variant& value) {
  if (value.vt != VT_DISPATCH || !value.pdispVal) return DispatchPtr();
  DispatchPtr object(value.pdispVal);
  value.vt = VT_EMPTY;
  return object;
}

DispatchPtr CreateShell() {
  CLSID clsid;
  if (FAILED(CLSIDFromProgID(L"Shell.Application", &clsid))) return DispatchPtr();
  IDispatch* shell = nullptr;
  if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch,
                              reinterpret_cast<void**>(&shell))))
    return DispatchPtr();
  return DispatchPtr(shell);
}

DispatchPtr ShowBrowser(IDispatch* shell, HWND owner, const std::wstring& title) {
  VARIANT hwnd, caption, options;
  hwnd.vt = VT_I4;
  hwnd.lVal = static_cast<LONG>(reinterpret_cast<LONG_PTR>(owner));
  caption.vt = VT_BSTR;
  caption.bstrVal = SysAllocString(title.c_str());
  options.vt = VT_I4;
  options.lVal = 0;
  Variant folder;
  bool ok = caption.bstrVal && Call(shell, L"BrowseForFolder", {hwnd, caption, options}, folder);
  SysFreeString(caption.bstrVal);
  return ok ? TakeObject(folder) : DispatchPtr();
}

std::wstring PathOf(IDispatch* folder) {
  Variant items, item, path;
  if (!Call(folder, L"Items", {}, items)) return std::wstring();
  DispatchPtr itemList = TakeObject(items);
  if (!itemList || !Call(itemList.get(), L"Item", {}, item)) return std::wstring();
  DispatchPtr self = TakeObject(item);
  if (!self || !Call(self.get(), L"Path", {}, path) || path.vt != VT_BSTR || !path.bstrVal) return std::wstring();
  return std::wstring(path.bstrVal, SysStringLen(path.bstrVal));
}

}  // namespace

std::wstring BrowseForFolderPath(HWND owner, const std::wstring& title) {
  DispatchPtr shell = CreateShell();
  if (!shell) return std::wstring();
  DispatchPtr folder = ShowBrowser(shell.get(), owner, title);
  return folder ? PathOf(folder.get()) : std::wstring();
}

}  // namespace app
