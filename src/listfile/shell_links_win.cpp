// Shell operations: shortcuts through the scripting shell object, called
// late-bound by member name and put in place whole, and existing links read
// back with the shell's own link reader.
#include "listfile/shell_links_win.h"

#include <shellapi.h>
#include <shlobj.h>

#include <optional>

#include "base/atomic_write_win.h"
#include "base/dispatch_win.h"
#include "base/error_trap_win.h"  // the platform's messages
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

// Turns a step's outcome into the reason the user reads; true when it went.
bool Went(HRESULT hr, std::wstring& reason) {
  if (SUCCEEDED(hr)) return true;
  reason = base::trap::HresultMessage(hr);
  return false;
}
bool Went(DWORD error, std::wstring& reason) {
  if (error == ERROR_SUCCESS) return true;
  reason = base::trap::SystemMessage(error);
  return false;
}

bool PutInPlace(const std::wstring& passing, const std::wstring& final, std::wstring& reason) {
  if (Went(base::files::MoveOver(passing, final), reason)) return true;
  DeleteFileW(passing.c_str());
  return false;
}

// The sub-folder is made when nothing of that name is there; any failure
// simply leaves it as it is (the link's own write then tells).
void MakeSubFolder(const std::wstring& folder) {
  if (GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES) CreateDirectoryW(folder.c_str(), nullptr);
}

// The folder a link of this location and sub-folder goes into.
HRESULT LinkFolder(IDispatch* shellObject, long location, const std::wstring& subFolder, std::wstring& folder) {
  folder.clear();
  if (const wchar_t* special = SpecialFolderName(location)) {
    const HRESULT hr = SpecialFolder(shellObject, special, folder);
    if (FAILED(hr)) return hr;
  }
  if (!subFolder.empty()) folder = base::paths::WithSeparator(folder) + subFolder;
  return S_OK;
}

// More than any command line can hold (32,767 characters).
constexpr int kMostArgumentChars = 32768;

// Whose the link of that name is, by the list its arguments name. A file
// that is no link at all is not this list's either. None, with the reason,
// when that cannot be told (the link is held or refused).
std::optional<NameOwner> OwnerOf(const std::wstring& linkPath, const std::wstring& listPath, std::wstring& reason) {
  const DWORD attributes = GetFileAttributesW(base::paths::Verbatim(linkPath).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    if (base::paths::IsNotFound(error)) return NameOwner::Nobody;
    Went(error, reason);
    return std::nullopt;
  }
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return NameOwner::OtherList;
  ComRef<IShellLinkW> link;
  ComRef<IPersistFile> file;
  if (!Went(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                             reinterpret_cast<void**>(link.put())),
            reason) ||
      !Went(link.get()->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.put())), reason))
    return std::nullopt;
  const HRESULT loaded = file.get()->Load(linkPath.c_str(), STGM_READ);
  // Held or refused, the link's list cannot be told: that is a failure.
  if (HRESULT_FACILITY(loaded) == FACILITY_WIN32 && !Went(loaded, reason)) return std::nullopt;
  if (FAILED(loaded)) return NameOwner::OtherList;
  std::wstring arguments(kMostArgumentChars, L'\0');
  if (!Went(link.get()->GetArguments(&arguments[0], kMostArgumentChars), reason)) return std::nullopt;
  arguments.resize(wcsnlen(arguments.c_str(), arguments.size()));
  const std::wstring listed = ListPathOfArguments(arguments);
  return !listed.empty() && base::paths::SamePath(listed, listPath) ? NameOwner::ThisList : NameOwner::OtherList;
}

}  // namespace

bool CreateLink(long location, const std::wstring& name, const std::wstring& target, const std::wstring& hotKey,
                const std::wstring& iconLocation, const std::wstring& workingDirectory, const std::wstring& subFolder,
                short windowStyle, const std::wstring& arguments, std::wstring& reason) {
  ComRef<IDispatch> shellObject;
  std::wstring folder;
  if (!Went(base::win::CreateObject(L"WScript.Shell", shellObject), reason) ||
      !Went(LinkFolder(shellObject.get(), location, subFolder, folder), reason))
    return false;
  if (!subFolder.empty()) MakeSubFolder(folder);
  ComRef<IDispatch> link;
  const std::wstring passing = PassingLinkPath(folder, name);
  if (!Went(ShortcutObject(shellObject.get(), passing, link), reason) ||
      !Went(PutNumber(link.get(), L"Windowstyle", windowStyle), reason) ||
      !Went(EmptyHotKeyRefusalIsHarmless(hotKey, PutText(link.get(), L"HotKey", hotKey)), reason) ||
      !Went(PutText(link.get(), L"TargetPath", target), reason) ||
      !Went(PutText(link.get(), L"IconLocation", iconLocation), reason) ||
      !Went(PutText(link.get(), L"Description", name), reason) ||
      !Went(PutText(link.get(), L"WorkingDirectory", workingDirectory), reason))
    return false;
  if (ArgumentsStored(arguments) && !Went(PutText(link.get(), L"Arguments", arguments), reason)) return false;
  if (!Went(Save(link.get()), reason)) {
    DeleteFileW(passing.c_str());
    return false;
  }
  return PutInPlace(passing, LinkPath(folder, name), reason);
}

bool PlaceRemovalShortcut(const std::wstring& programPath, const std::wstring& listPath, PlacedShortcut& placed,
                          std::wstring& reason) {
  const RemovalShortcut link = MakeRemovalShortcut(programPath, listPath);
  ComRef<IDispatch> shellObject;
  std::wstring desktop;
  if (!Went(base::win::CreateObject(L"WScript.Shell", shellObject), reason) ||
      !Went(LinkFolder(shellObject.get(), DeskTop, std::wstring(), desktop), reason))
    return false;
  // A name whose owner cannot be told ends the choice: no later name is
  // looked at, and the reason is the save's.
  bool untold = false;
  const std::wstring name = ChooseShortcutName(link.name, listPath, [&](const std::wstring& n) {
    if (untold) return NameOwner::OtherList;
    const std::optional<NameOwner> owner = OwnerOf(LinkPath(desktop, n), listPath, reason);
    untold = !owner;
    return owner ? *owner : NameOwner::OtherList;
  });
  if (untold) return false;
  if (name.empty()) {
    reason = L"every name the shortcut could take is another list's";
    return false;
  }
  if (!CreateLink(DeskTop, name, link.target, L"", link.iconLocation, link.workingDirectory, L"", 1, link.arguments,
                  reason))
    return false;
  placed = {name, link.name};
  return true;
}

}  // namespace listfile
