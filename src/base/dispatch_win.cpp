// Calling automation objects by member name.
#include "base/dispatch_win.h"

#include "base/handles_win.h"

namespace base::win {

VARIANT* TextArg(Variant& arg, const std::wstring& text) {
  VariantClear(&arg.v);
  arg.v.vt = VT_BSTR;
  arg.v.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return &arg.v;
}

VARIANT* NumberArg(Variant& arg, long number) {
  VariantClear(&arg.v);
  arg.v.vt = VT_I4;
  arg.v.lVal = number;
  return &arg.v;
}

HRESULT CreateObject(const wchar_t* progId, ComRef<IDispatch>& object) {
  CLSID clsid{};
  HRESULT hr = CLSIDFromProgID(progId, &clsid);
  if (FAILED(hr)) return hr;
  return CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch,
                          reinterpret_cast<void**>(object.put()));
}

HRESULT Invoke(IDispatch* object, const wchar_t* member, WORD kind, const std::vector<VARIANT*>& args,
               VARIANT* result) {
  DISPID id = 0;
  LPOLESTR name = const_cast<LPOLESTR>(member);
  HRESULT hr = object->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) return hr;
  // DISPPARAMS holds the arguments last one first.
  std::vector<VARIANT> reversed;
  reversed.reserve(args.size());
  for (auto it = args.rbegin(); it != args.rend(); ++it) reversed.push_back(**it);
  DISPID named = DISPID_PROPERTYPUT;
  const bool put = kind == DISPATCH_PROPERTYPUT;
  DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), put ? &named : nullptr,
                    static_cast<UINT>(reversed.size()), put ? 1u : 0u};
  EXCEPINFO error{};
  hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, kind, &params, result, &error, nullptr);
  if (hr == DISP_E_EXCEPTION) {
    if (error.pfnDeferredFillIn) error.pfnDeferredFillIn(&error);
    if (FAILED(error.scode)) hr = error.scode;
  }
  const win::Bstr source = win::Bstr::Adopt(error.bstrSource), description = win::Bstr::Adopt(error.bstrDescription),
                  help = win::Bstr::Adopt(error.bstrHelpFile);
  return hr;
}

ComRef<IDispatch> TakeObject(Variant& value) {
  if (value.v.vt != VT_DISPATCH || !value.v.pdispVal) return ComRef<IDispatch>();
  ComRef<IDispatch> object(value.v.pdispVal);
  value.v.vt = VT_EMPTY;
  return object;
}

}  // namespace base::win
