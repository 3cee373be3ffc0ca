// The routines file's size checked before it is read.
#include "routines/routines_file_win.h"

#include <windows.h>

#include "base/file_io.h"
#include "base/paths.h"

namespace routines {

bool ReadRoutinesBytes(const std::wstring& path, std::string& bytes, std::wstring& problem) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (GetFileAttributesExW(base::paths::Verbatim(path).c_str(), GetFileExInfoStandard, &data) &&
      (data.nFileSizeHigh != 0 || data.nFileSizeLow > kMostFileBytes)) {
    problem = TooLargeText();
    return false;
  }
  return base::files::ReadAll(path, bytes, problem);
}

}  // namespace routines
