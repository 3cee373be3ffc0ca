// Shell operations: shortcuts through the scripting shell object, called
// late-bound by member name and put in place whole, and existing links read
// back with the shell's own link reader.
#include "listfile/shell_links_win.h"

#include <shellapi.h>
#include <shlobj.h>

#include "base/atomic_write_win.h"
#include "base/dispatch_win.h"
#include "base/error_trap_win.h"
#include "base/paths.h"
#include "base/paths_win.h"
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

// The folder a link of this location and sub-folder goes into.
std::wstring LinkFolder(IDispatch* shellObject, long location, const std::wstring& subFolder) {
  std::wstring folder;
  if (const wchar_t* special = SpecialFolderName(location)) {
    CHECK_HR(SpecialFolder(shellObject, special, folder));
  }
  if (!subFolder.empty()) folder = base::paths::WithSeparator(folder) + subFolder;
  return folder;
}

// More than any command line can hold (32,767 characters).
constexpr int kMostArgumentChars = 32768;

// Whose the link of that name is, by the list its arguments name. A file
// that is no link at all is not this list's either.
NameOwner OwnerOf(const std::wstring& linkPath, const std::wstring& listPath) {
  const DWORD attributes = GetFileAttributesW(base::paths::Verbatim(linkPath).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    if (base::paths::IsNotFound(error)) return NameOwner::Nobody;
    base::trap::RaiseWin32(error);
  }
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return NameOwner::OtherList;
  ComRef<IShellLinkW> link;
  CHECK_HR(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                            reinterpret_cast<void**>(link.put())));
  ComRef<IPersistFile> file;
  CHECK_HR(link.get()->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.put())));
  const HRESULT loaded = file.get()->Load(linkPath.c_str(), STGM_READ);
  // Held or refused, the link's list cannot be told: that is a failure.
  if (HRESULT_FACILITY(loaded) == FACILITY_WIN32) CHECK_HR(loaded);
  if (FAILED(loaded)) return NameOwner::OtherList;
  std::wstring arguments(kMostArgumentChars, L'\0');
  CHECK_HR(link.get()->GetArguments(&arguments[0], kMostArgumentChars));
  arguments.resize(wcsnlen(arguments.c_str(), arguments.size()));
  const std::wstring listed = ListPathOfArguments(arguments);
  return !listed.empty() && base::paths::SamePath(listed, listPath) ? NameOwner::ThisList : NameOwner::OtherList;
}

}  // namespace

void CreateLink(long location, const std::wstring& name, const std::wstring& target, const std::wstring& hotKey,
                const std::wstring& iconLocation, const std::wstring& workingDirectory,
                const std::wstring& subFolder, short windowStyle, const std::wstring& arguments) {
  ComRef<IDispatch> shellObject;
  CHECK_HR(base::win::CreateObject(L"WScript.Shell", shellObject));
  const std::wstring folder = ST(LinkFolder(shellObject.get(), location, subFolder));
  if (!subFolder.empty()) MakeSubFolder(folder);
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

PlacedShortcut PlaceRemovalShortcut(const std::wstring& programPath, const std::wstring& listPath) {
  const RemovalShortcut link = MakeRemovalShortcut(programPath, listPath);
  ComRef<IDispatch> shellObject;
  CHECK_HR(base::win::CreateObject(L"WScript.Shell", shellObject));
  const std::wstring desktop = ST(LinkFolder(shellObject.get(), DeskTop, std::wstring()));
  const std::wstring name = ST(ChooseShortcutName(
      link.name, listPath, [&](const std::wstring& n) { return OwnerOf(LinkPath(desktop, n), listPath); }));
  if (name.empty()) RAISE(ERROR_FILE_EXISTS, L"every name the shortcut could take is another list's");
  ST(CreateLink(DeskTop, name, link.target, L"", link.iconLocation, link.workingDirectory, L"", 1, link.arguments));
  return {name, link.name};
}

}  // namespace listfile
