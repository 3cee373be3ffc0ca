// A routines file read from the disk, never written: a file larger than
// routines::kMostFileBytes is refused before a byte of it is read.
#pragma once
#include <string>

#include "routines/routines_file.h"

namespace routines {

// The file read (ReadRoutines); its problem says why when it could not be
// opened, is too large or is no routines file.
RoutinesFile LoadRoutinesFile(const std::wstring& path);
// The file's bytes as LoadRoutinesFile reads them; false with the reason
// (a file too large is refused unread).
bool ReadRoutinesBytes(const std::wstring& path, std::string& bytes, std::wstring& problem);

}  // namespace routines
