// Path handling of the folder search: the result-flag values, the full form
// of a path with the position of its file part, ExistFile, and the
// split of the caller's path into a start folder and a name pattern. The
// file system is reached only through PathProbe, so all of this also runs
// against a stand-in file system.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/paths.h"

namespace search {

// State and outcome of a search (the Finished event's Result).
enum ResultFlagValue : long {
  DirExSuccess = 0,
  UserCanceled = 1120,
  PathNameNotValid = 1121,
  NoFilesFound = 1122,
  DirExFailed = 1123,
};

constexpr uint32_t kNoAttributes = 0xFFFFFFFFu;
constexpr uint32_t kDirectoryBit = 0x10;

// The look-ups the path split needs from the file system.
class PathProbe {
 public:
  virtual ~PathProbe() = default;
  // The absolute form of a path, or empty when it cannot be formed.
  virtual std::wstring FullPathName(const std::wstring& path) = 0;
  // The attribute bits of an existing file or folder, else kNoAttributes.
  virtual uint32_t Attributes(const std::wstring& path) = 0;
  // The first name a listing of the path gives when folders are admitted
  // but hidden and system entries are not; a path ending in "\" lists that
  // folder. Empty when nothing is listed.
  virtual std::wstring FirstListedName(const std::wstring& path) = 0;
};

// The folder calls' form of a folder the user typed: "C:" -> "C:\",
// "C:\Data\" -> "C:\Data".
using base::paths::Qualify;

struct FullPathResult {
  std::wstring path;   // empty when the path cannot be formed
  size_t specPos = 1;  // base::paths::FilePartPos of path
};
FullPathResult FullPath(PathProbe& probe, const std::wstring& path);

// True when the path (after Qualify) exists and has every required bit.
bool ExistFile(PathProbe& probe, const std::wstring& path, uint32_t required = 0);

// Splits initPath into the start folder (written back into initPath) and
// the name pattern (into spec). Returns false with resultFlag set to
// PathNameNotValid when neither the path nor its folder exists, or to
// DirExFailed when the split itself fails.
bool FileSpec(PathProbe& probe, std::wstring& initPath, std::wstring& spec, long& resultFlag);

}  // namespace search
