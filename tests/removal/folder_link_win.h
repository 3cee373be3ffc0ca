// A link to a folder for the tests, made as a user's other programs would
// make it (under Wine, whose symbolic links are stubs, by the Unix "ln").
#pragma once
#include <windows.h>

#include <initializer_list>
#include <string>

#include "base/encoding.h"
#include "removal/removal_steps_win.h"

// Runs a Unix program on the Unix forms of Windows paths (under Wine,
// whose symbolic links are stubs, links are made and removed so, as a
// user's other programs would).
inline bool RunOnUnix(const wchar_t* program, std::initializer_list<std::wstring> arguments) {
  using ToUnix = char* (*)(const wchar_t*);
  const auto toUnix = reinterpret_cast<ToUnix>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (!toUnix) return false;
  std::wstring command = program;
  for (const std::wstring& argument : arguments) {
    char* unixPath = toUnix(argument.c_str());
    if (!unixPath) return false;
    command += L" \"" + base::enc::FromUtf8(unixPath) + L"\"";
    HeapFree(GetProcessHeap(), 0, unixPath);
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return false;
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return true;
}

// A link to a folder, which the guard in the test removes again.
struct FolderLink {
  FolderLink(const std::wstring& link, const std::wstring& target) : path(link) {
    if (!CreateSymbolicLinkW(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) || !IsLink())
      if (RunOnUnix(L"Z:\\bin\\ln -s", {target, link})) Await(true);
  }
  ~FolderLink() {
    if (IsLink() && RunOnUnix(L"Z:\\bin\\rm", {path})) Await(false);
  }
  // A Unix program's process is not one that Windows can wait for.
  void Await(bool link) const {
    for (int i = 0; i < 500 && IsLink() != link; ++i) Sleep(20);
  }
  bool IsLink() const { return removal::IsFolderLink(GetFileAttributesW(path.c_str())); }
  std::wstring path;
};
