// Detection by registry keys and paths, read-only.
#include "routines/detection_win.h"

#include <windows.h>

#include <thread>

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
const RootName kRoots[] = {{L"HKCU", HKEY_CURRENT_USER},        {L"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
                           {L"HKLM", HKEY_LOCAL_MACHINE},       {L"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
                           {L"HKCR", HKEY_CLASSES_ROOT},        {L"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
                           {L"HKU", HKEY_USERS},                {L"HKEY_USERS", HKEY_USERS}};

}  // namespace

bool OnWow64() {
  static const bool wow = [] {
    BOOL on = FALSE;
    return IsWow64Process(GetCurrentProcess(), &on) && on;
  }();
  return wow;
}

bool RegistryKeyExists(const std::wstring& key) {
  const size_t separator = key.find(L'\\');
  const std::wstring rootName = key.substr(0, separator);
  const std::wstring path = separator == std::wstring::npos ? std::wstring() : key.substr(separator + 1);
  for (const RootName& r : kRoots) {
    if (!base::paths::SameText(rootName, r.name)) continue;
    // A 32-bit program sees the 32-bit view by default; on 64-bit Windows
    // a program may have written either.
    if (services::OpenKey(r.root, path, KEY_READ)) return true;
    return OnWow64() && services::OpenKey(r.root, path, KEY_READ | KEY_WOW64_64KEY);
  }
  return false;
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

std::vector<char> DecideFits(const std::vector<Entry>& entries, const VariableLookup& lookup, size_t workers,
                             const std::atomic<bool>& stop) {
  std::vector<char> fits(entries.size(), 0);
  std::atomic<size_t> next{0};
  const auto work = [&] {
    for (size_t i; !stop && (i = next++) < entries.size();)
      fits[i] = entries[i].Understood() && FitsComputer(entries[i].routine, lookup, stop);
  };
  std::vector<std::thread> helpers;
  for (size_t w = 1; w < workers; ++w) helpers.emplace_back(work);
  work();
  for (std::thread& h : helpers) h.join();
  return fits;
}

}  // namespace routines
