// Shell operations: shortcuts through the scripting shell object, called
// late-bound by member name, and the shell's "Open" verb.
#include "listfile/shell_links_win.h"

#include <oleauto.h>
#include <shellapi.h>

#include "listfile/shortcut_plan.h"
#include "services/error_trap_win.h"

namespace shell {
namespace {

// Owns one reference to a COM interface.
template <class T>
class ComRef {
 public:
  ComRef() = default;
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  ~ComRef() {
    if (p_) p_->Release();
  }
  T* get() const { return p_; }
  T** put() {
    if (p_) p_->Release();
    p_ = nullptr;
    return &p_;
  }

 private:
  T* p_ = nullptr;
};

// Owns a VARIANT.
struct Variant {
  VARIANT v;
  Variant() { VariantInit(&v); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  ~Variant() { VariantClear(&v); }
};

Variant* TextArg(Variant& arg, const std::wstring& text) {
  arg.v.vt = VT_BSTR;
  arg.v.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return &arg;
}

// Calls a member by name. A failure the object explains through its
// exception record is given back as the record's own code.
HRESULT Invoke(IDispatch* object, const wchar_t* member, WORD kind, VARIANT* arg, VARIANT* result) {
  DISPID id = 0;
  LPOLESTR name = const_cast<LPOLESTR>(member);
  HRESULT hr = object->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) return hr;
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{arg, kind == DISPATCH_PROPERTYPUT ? &named : nullptr, arg ? 1u : 0u,
                    kind == DISPATCH_PROPERTYPUT ? 1u : 0u};
  EXCEPINFO error{};
  hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, kind, &params, result, &error, nullptr);
  if (hr == DISP_E_EXCEPTION) {
    if (error.pfnDeferredFillIn) error.pfnDeferredFillIn(&error);
    if (FAILED(error.scode)) hr = error.scode;
  }
  SysFreeString(error.bstrSource);
  SysFreeString(error.bstrDescription);
  SysFreeString(error.bstrHelpFile);
  return hr;
}

HRESULT PutText(IDispatch* object, const wchar_t* property, const std::wstring& text) {
  Variant arg;
  return Invoke(object, property, DISPATCH_PROPERTYPUT, &TextArg(arg, text)->v, nullptr);
}

HRESULT PutNumber(IDispatch* object, const wchar_t* property, long number) {
  Variant arg;
  arg.v.vt = VT_I4;
  arg.v.lVal = number;
  return Invoke(object, property, DISPATCH_PROPERTYPUT, &arg.v, nullptr);
}

HRESULT CreateObject(const wchar_t* progId, ComRef<IDispatch>& object) {
  CLSID clsid{};
  HRESULT hr = CLSIDFromProgID(progId, &clsid);
  if (FAILED(hr)) return hr;
  return CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch,
                          reinterpret_cast<void**>(object.put()));
}

HRESULT SpecialFolder(IDispatch* shellObject, const wchar_t* which, std::wstring& folder) {
  Variant folders;
  HRESULT hr = Invoke(shellObject, L"SpecialFolders", DISPATCH_PROPERTYGET | DISPATCH_METHOD, nullptr, &folders.v);
  if (FAILED(hr)) return hr;
  if (folders.v.vt != VT_DISPATCH || !folders.v.pdispVal) return E_UNEXPECTED;
  Variant name, path;
  hr = Invoke(folders.v.pdispVal, L"Item", DISPATCH_METHOD | DISPATCH_PROPERTYGET, &TextArg(name, which)->v,
              &path.v);
  if (FAILED(hr)) return hr;
  hr = VariantChangeType(&path.v, &path.v, 0, VT_BSTR);
  if (FAILED(hr)) return hr;
  folder.assign(path.v.bstrVal ? path.v.bstrVal : L"", SysStringLen(path.v.bstrVal));
  return S_OK;
}

HRESULT ShortcutObject(IDispatch* shellObject, const std::wstring& linkPath, ComRef<IDispatch>& link) {
  Variant arg, result;
  HRESULT hr = Invoke(shellObject, L"CreateShortcut", DISPATCH_METHOD, &TextArg(arg, linkPath)->v, &result.v);
  if (FAILED(hr)) return hr;
  if (result.v.vt != VT_DISPATCH || !result.v.pdispVal) return E_UNEXPECTED;
  result.v.pdispVal->AddRef();
  *link.put() = result.v.pdispVal;
  return S_OK;
}

// Some shells refuse an empty hot key as "not implemented"; no hot key is
// what was asked for, so that refusal is harmless.
HRESULT EmptyHotKeyRefusalIsHarmless(const std::wstring& hotKey, HRESULT hr) {
  return hotKey.empty() && hr == E_NOTIMPL ? S_OK : hr;
}

HRESULT Save(IDispatch* link) { return Invoke(link, L"Save", DISPATCH_METHOD, nullptr, nullptr); }

// The sub-folder is made when nothing of that name is there; any failure
// simply leaves it as it is.
void MakeSubFolder(const std::wstring& folder) {
  if (GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES) CreateDirectoryW(folder.c_str(), nullptr);
}

}  // namespace

void CreateLink(long location, const std::wstring& name, const std::wstring& target, const std::wstring& hotKey,
                const std::wstring& iconLocation, const std::wstring& workingDirectory,
                const std::wstring& subFolder, short windowStyle, const std::wstring& arguments) {
  ComRef<IDispatch> shellObject;
  CHECK_HR(CreateObject(L"WScript.Shell", shellObject));
  std::wstring folder;
  if (const wchar_t* special = SpecialFolderName(location)) {
    CHECK_HR(SpecialFolder(shellObject.get(), special, folder));
  }
  if (!subFolder.empty()) {
    folder += L'\\' + subFolder;
    MakeSubFolder(folder);
  }
  ComRef<IDispatch> link;
  CHECK_HR(ShortcutObject(shellObject.get(), LinkPath(folder, name), link));
  CHECK_HR(PutNumber(link.get(), L"Windowstyle", windowStyle));
  CHECK_HR(EmptyHotKeyRefusalIsHarmless(hotKey, PutText(link.get(), L"HotKey", hotKey)));
  CHECK_HR(PutText(link.get(), L"TargetPath", target));
  CHECK_HR(PutText(link.get(), L"IconLocation", iconLocation));
  CHECK_HR(PutText(link.get(), L"Description", name));
  CHECK_HR(PutText(link.get(), L"WorkingDirectory", workingDirectory));
  if (ArgumentsStored(arguments)) {
    CHECK_HR(PutText(link.get(), L"Arguments", arguments));
  }
  CHECK_HR(Save(link.get()));
}

void OpenInternet(HWND owner, const std::wstring& document, int showCmd) {
  trap::Guard([&] {
    ST(ShellExecuteW(owner, L"Open", document.c_str(), nullptr, nullptr, showCmd));
  });
}

}  // namespace shell
