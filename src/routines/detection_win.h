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
#include "routines/variables.h"

namespace routines {

bool RegistryKeyExists(const std::wstring& key);
// The folded names of a key's subkeys in both registry views; false when
// the key cannot be listed in either.
bool ListRegistrySubkeys(const std::wstring& key, std::unordered_set<std::wstring>& foldedNames);
bool DetectFileExists(const std::wstring& path, const VariableLookup& lookup, const std::atomic<bool>& stop);
bool FitsComputer(const listfile::Routine& routine, const VariableLookup& lookup, const std::atomic<bool>& stop);

// Whether this 32-bit program runs on 64-bit Windows, where the registry
// and System32 have a second view.
bool OnWow64();

// What a routine that does not fit says when a run starts.
extern const wchar_t kNotOnThisComputer[];

}  // namespace routines
