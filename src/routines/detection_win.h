// Whether a routine fits this computer: one of its Detect keys (HKCU\...,
// HKLM\..., HKCR\..., HKU\...; both registry views of a 64-bit Windows)
// or one of its DetectFile paths (variables and wildcards) exists. An entry
// without any fits always. Only reads: no key is made or written.
#pragma once
#include <atomic>
#include <string>

#include "listfile/routine.h"
#include "routines/variables.h"

namespace routines {

bool RegistryKeyExists(const std::wstring& key);
bool DetectFileExists(const std::wstring& path, const VariableLookup& lookup, const std::atomic<bool>& stop);
bool FitsComputer(const listfile::Routine& routine, const VariableLookup& lookup, const std::atomic<bool>& stop);

// What a routine that does not fit says when a run starts.
extern const wchar_t kNotOnThisComputer[];

}  // namespace routines
