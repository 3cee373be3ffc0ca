// The one folder lister every walk reads folders with (the folder search,
// the rules' counts and takes, the fates' looks, the Recycle Bin's rounds,
// the protected profiles, the installer's look at its folder): one pass of
// the platform's enumeration over a folder's entries, "." and ".." left out
// by the one step test, in the verbatim form, so that names are taken
// exactly as they are listed.
#pragma once
#include <windows.h>

#include <atomic>
#include <string>
#include <utility>

#include "base/handles_win.h"
#include "base/paths.h"

namespace base {

// Gives `take` each entry of `folder` (its path with its closing "\") that
// fits the platform's `pattern` ("*" for all), until `take` says no or
// `stop` is set. False when the folder could not be listed, or its listing
// ended early (an error, a stop, or `take`'s no): then what the folder
// holds is not all known, and GetLastError tells why when the platform
// refused.
template <class Take>
bool ListEntries(const std::wstring& folder, const std::wstring& pattern, const std::atomic<bool>& stop, Take&& take) {
  WIN32_FIND_DATAW data;
  win::unique_hfind find(FindFirstFileExW(paths::Verbatim(folder + pattern).c_str(), FindExInfoBasic, &data,
                                          FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
  if (!find) return false;
  do {
    if (stop) return false;
    if (paths::IsStep(data.cFileName)) continue;
    if (!take(static_cast<const WIN32_FIND_DATAW&>(data))) return false;
  } while (FindNextFileW(find.get(), &data));
  // Why the listing ended outlives the closing of its handle.
  const DWORD ended = GetLastError();
  find.reset();
  SetLastError(ended);
  return ended == ERROR_NO_MORE_FILES;
}

// The same for a listing nothing stops but `take`.
template <class Take>
bool ListEntries(const std::wstring& folder, const std::wstring& pattern, Take&& take) {
  static const std::atomic<bool> never{false};
  return ListEntries(folder, pattern, never, std::forward<Take>(take));
}

}  // namespace base
