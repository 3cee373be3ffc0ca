// Shell operations: shortcuts through the scripting shell object, called
// late-bound by member name and put in place whole, and the shell's "Open"
// verb.
#include "listfile/shell_links_win.h"

#include <shellapi.h>

#include "base/atomic_write_win.h"
#include "base/dispatch_win.h"
#include "base/error_trap_win.h"
#include "listfile/shortcut_plan.h"

namespace listfile {
namespace {

using base::win::ComRef;
using base::win::TextArg;
using base::win::Variant;

constexpr WORD kGet = DISPATCH_METHOD | DISPATCH_PROPERTYGET;

HRESULT PutText(IDispatch* object, const wchar_t* property, const std::wstring& text) {
  Variant arg;
  return base::win::Invoke(object, property, DISPATCH_PROPERTYPUT, {TextArg(arg, text)}, nullptr);
}

HRESULT PutNumber(IDispatch* object, const wchar_t* property, long number) {
  Variant arg;
  return base::win::Invoke(object, property, DISPATCH_PROPERTYPUT, {base::win::NumberArg(arg, number)}, nullptr);
}

HRESULT SpecialFolder(IDispatch* shellObject, const wchar_t* which, std::wstring& folder) {
  Variant folders;
  HRESULT hr = base::win::Invoke(shellObject, L"SpecialFolders", kGet, {}, &folders.v);
  if (FAILED(hr)) return hr;
  if (folders.v.vt != VT_DISPATCH || !folders.v.pdispVal) return E_UNEXPECTED;
  Variant name, path;
  hr = base::win::Invoke(folders.v.pdispVal, L"Item", kGet, {TextArg(name, which)}, &path.v);
  if (FAILED(hr)) return hr;
  hr = VariantChangeType(&path.v, &path.v, 0, VT_BSTR);
  if (FAILED(hr)) return hr;
  folder.assign(path.v.bstrVal ? path.v.bstrVal : L"", SysStringLen(path.v.bstrVal));
  return S_OK;
}

HRESULT ShortcutObject(IDispatch* shellObject, const std::wstring& linkPath, ComRef<IDispatch>& link) {
  Variant arg, result;
  HRESULT hr = base::win::Invoke(shellObject, L"CreateShortcut", DISPATCH_METHOD, {TextArg(arg, linkPath)}, &result.v);
  if (FAILED(hr)) return hr;
  link = base::win::TakeObject(result);
  return link ? S_OK : E_UNEXPECTED;
}

// Some shells refuse an empty hot key as "not implemented"; no hot key is
// what was asked for, so that refusal is harmless.
HRESULT EmptyHotKeyRefusalIsHarmless(const std::wstring& hotKey, HRESULT hr) {
  return hotKey.empty() && hr == E_NOTIMPL ? S_OK : hr;
}

HRESULT Save(IDispatch* link) { return base::win::Invoke(link, L"Save", DISPATCH_METHOD, {}, nullptr); }

// The link is saved under a passing name and then moved over the old one in
// one step, so a failed save leaves the old link as it was. The passing name
// ends in ".lnk" too: the shell object writes no other kind.
std::wstring PassingLinkPath(const std::wstring& folder, const std::wstring& name) {
  return LinkPath(folder, L"~" + name + L" " + std::to_wstring(GetCurrentProcessId()));
}

void PutInPlace(const std::wstring& passing, const std::wstring& final) {
  const DWORD error = base::files::MoveOver(passing, final);
  if (error == ERROR_SUCCESS) return;
  DeleteFileW(passing.c_str());
  base::trap::RaiseWin32(error);
}

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
  CHECK_HR(base::win::CreateObject(L"WScript.Shell", shellObject));
  std::wstring folder;
  if (const wchar_t* special = SpecialFolderName(location)) {
    CHECK_HR(SpecialFolder(shellObject.get(), special, folder));
  }
  if (!subFolder.empty()) {
    folder += L'\\' + subFolder;
    MakeSubFolder(folder);
  }
  ComRef<IDispatch> link;
  const std::wstring passing = PassingLinkPath(folder, name);
  CHECK_HR(ShortcutObject(shellObject.get(), passing, link));
  CHECK_HR(PutNumber(link.get(), L"Windowstyle", windowStyle));
  CHECK_HR(EmptyHotKeyRefusalIsHarmless(hotKey, PutText(link.get(), L"HotKey", hotKey)));
  CHECK_HR(PutText(link.get(), L"TargetPath", target));
  CHECK_HR(PutText(link.get(), L"IconLocation", iconLocation));
  CHECK_HR(PutText(link.get(), L"Description", name));
  CHECK_HR(PutText(link.get(), L"WorkingDirectory", workingDirectory));
  if (ArgumentsStored(arguments)) {
    CHECK_HR(PutText(link.get(), L"Arguments", arguments));
  }
  const HRESULT saved = Save(link.get());
  if (FAILED(saved)) DeleteFileW(passing.c_str());
  CHECK_HR(saved);
  ST(PutInPlace(passing, LinkPath(folder, name)));
}

}  // namespace listfile
