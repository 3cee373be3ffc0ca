// The routines file's size checked before it is read.
#include "routines/routines_file_win.h"

#include <windows.h>

#include "base/file_io.h"
#include "base/paths.h"

namespace routines {

RoutinesFile LoadRoutinesFile(const std::wstring& path) {
  RoutinesFile file;
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (GetFileAttributesExW(base::paths::Verbatim(path).c_str(), GetFileExInfoStandard, &data) &&
      (data.nFileSizeHigh != 0 || data.nFileSizeLow > kMostFileBytes)) {
    file.problem = TooLargeText();
    return file;
  }
  std::string bytes;
  if (!base::files::ReadAll(path, bytes, file.problem)) return file;
  return ReadRoutines(bytes);
}

}  // namespace routines
