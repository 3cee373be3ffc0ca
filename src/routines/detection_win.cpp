// Detection by registry keys and paths, read-only.
#include "routines/detection_win.h"

#include <windows.h>

#include "base/paths.h"
#include "routines/folder_match_win.h"
#include "routines/folder_pattern.h"
#include "services/registry_win.h"

namespace routines {

const wchar_t kNotOnThisComputer[] = L"not on this computer";

namespace {

struct RootName {
  const wchar_t* name;
  HKEY root;
};
const RootName kRoots[] = {{L"HKCU", HKEY_CURRENT_USER},  {L"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
                           {L"HKLM", HKEY_LOCAL_MACHINE}, {L"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
                           {L"HKCR", HKEY_CLASSES_ROOT},  {L"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
                           {L"HKU", HKEY_USERS},          {L"HKEY_USERS", HKEY_USERS}};

}  // namespace

bool OnWow64() {
  static const bool wow = [] {
    BOOL on = FALSE;
    return IsWow64Process(GetCurrentProcess(), &on) && on;
  }();
  return wow;
}

namespace {

// The root and the path below it of a key written HKCU\..., HKLM\...;
// false for a root not known.
bool SplitKey(const std::wstring& key, HKEY& root, std::wstring& path) {
  const size_t separator = key.find(L'\\');
  const std::wstring rootName = key.substr(0, separator);
  for (const RootName& r : kRoots) {
    if (!base::paths::SameText(rootName, r.name)) continue;
    root = r.root;
    path = separator == std::wstring::npos ? std::wstring() : key.substr(separator + 1);
    return true;
  }
  return false;
}

}  // namespace

bool RegistryKeyExists(const std::wstring& key) {
  HKEY root;
  std::wstring path;
  if (!SplitKey(key, root, path)) return false;
  // A 32-bit program sees the 32-bit view by default; on 64-bit Windows
  // a program may have written either.
  if (services::OpenKey(root, path, KEY_READ)) return true;
  return OnWow64() && services::OpenKey(root, path, KEY_READ | KEY_WOW64_64KEY);
}

bool ListRegistrySubkeys(const std::wstring& key, std::unordered_set<std::wstring>& foldedNames) {
  HKEY root;
  std::wstring path;
  if (!SplitKey(key, root, path)) return false;
  bool listed = false;
  for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
    base::win::unique_hkey opened = services::OpenKey(root, path, KEY_ENUMERATE_SUB_KEYS | view);
    if (!opened) continue;
    const std::optional<std::vector<std::wstring>> names = services::SubkeyNames(opened.get());
    if (!names) return false;
    for (const std::wstring& name : *names) foldedNames.insert(base::paths::FoldCase(name));
    listed = true;
  }
  return listed;
}

bool DetectFileExists(const std::wstring& path, const VariableLookup& lookup, const std::atomic<bool>& stop) {
  const Expanded expanded = ExpandVariables(path, lookup);
  for (const std::wstring& text : expanded.texts) {
    FolderPattern pattern;
    std::wstring problem;
    if (SplitFolderPattern(text, pattern, problem) && AnyItemFits(pattern, stop)) return true;
  }
  return false;
}

bool FitsComputer(const listfile::Routine& routine, const VariableLookup& lookup, const std::atomic<bool>& stop) {
  if (routine.detects.empty() && routine.detectFiles.empty()) return true;
  for (const std::wstring& key : routine.detects)
    if (RegistryKeyExists(key)) return true;
  for (const std::wstring& path : routine.detectFiles)
    if (DetectFileExists(path, lookup, stop)) return true;
  return false;
}

}  // namespace routines
