// A routines file read from the disk, never written: a file larger than
// routines::kMostFileBytes is refused before a byte of it is read.
#pragma once
#include <string>

#include "routines/routines_file.h"

namespace routines {

// The file's bytes, for ReadRoutines; false with the reason when it could
// not be opened (a file too large is refused unread).
bool ReadRoutinesBytes(const std::wstring& path, std::string& bytes, std::wstring& problem);

}  // namespace routines
