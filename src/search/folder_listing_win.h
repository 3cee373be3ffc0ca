// The one folder lister every walk reads folders with (the folder search,
// the rules' counts and takes): one pass of the platform's enumeration over
// a folder's entries, "." and ".." left out by the one step test, in the
// verbatim form, so that names are taken exactly as they are listed.
#pragma once
#include <windows.h>

#include <atomic>
#include <string>

#include "base/handles_win.h"
#include "base/paths.h"

namespace search {

// Gives `take` each entry of `folder` (its path with its closing "\") that
// fits the platform's `pattern` ("*" for all), until `take` says no or
// `stop` is set. False when the folder could not be listed, or its listing
// ended early (an error, a stop, or `take`'s no): then what the folder
// holds is not all known.
template <class Take>
bool ListEntries(const std::wstring& folder, const std::wstring& pattern, const std::atomic<bool>& stop,
                 Take&& take) {
  WIN32_FIND_DATAW data;
  base::win::unique_hfind find(FindFirstFileExW(base::paths::Verbatim(folder + pattern).c_str(), FindExInfoBasic,
                                                &data, FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
  if (!find) return false;
  do {
    if (stop) return false;
    if (base::paths::IsStep(data.cFileName)) continue;
    if (!take(static_cast<const WIN32_FIND_DATAW&>(data))) return false;
  } while (FindNextFileW(find.get(), &data));
  return GetLastError() == ERROR_NO_MORE_FILES;
}

}  // namespace search
