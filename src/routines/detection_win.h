// Whether a routine fits this computer: one of its Detect keys (HKCU\...,
// HKLM\..., HKCR\..., HKU\...; both registry views of a 64-bit Windows)
// or one of its DetectFile paths (variables and wildcards) exists. An entry
// without any fits always. Only reads: no key is made or written.
#pragma once
#include <atomic>
#include <cstddef>
#include <string>
#include <unordered_set>
#include <vector>

#include "listfile/routine.h"
#include "routines/routines_file.h"
#include "routines/variables.h"

namespace routines {

bool RegistryKeyExists(const std::wstring& key);
// The folded names of a key's subkeys in both registry views; false when
// the key cannot be listed in either.
bool ListRegistrySubkeys(const std::wstring& key, std::unordered_set<std::wstring>& foldedNames);
bool DetectFileExists(const std::wstring& path, const VariableLookup& lookup, const std::atomic<bool>& stop);
bool FitsComputer(const listfile::Routine& routine, const VariableLookup& lookup, const std::atomic<bool>& stop);

// Whether each entry of a routines file fits, decided by DetectionChecks
// (detection_checks_win.h) on `workers` threads at once (the checks wait on
// the disk and the registry, not on the processor): 1 for an entry that
// fits, 0 for one that does not or is not understood. A raised `stop` ends it early; the entries not decided
// by then fit not.
std::vector<char> DecideFits(const std::vector<Entry>& entries, const VariableLookup& lookup, size_t workers,
                             const std::atomic<bool>& stop);

// Whether this 32-bit program runs on 64-bit Windows, where the registry
// and System32 have a second view.
bool OnWow64();

// What a routine that does not fit says when a run starts.
extern const wchar_t kNotOnThisComputer[];

}  // namespace routines
