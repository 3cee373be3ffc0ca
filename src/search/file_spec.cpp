// Path handling of the folder search (portable; the file system is behind
// PathProbe).
#include "search/file_spec.h"

#include <exception>

#include "base/paths.h"

namespace search {
namespace {

// Case C: the path does not exist; its last part may be a pattern.
bool SplitMissingPath(PathProbe& probe, const FullPathResult& full, std::wstring& initPath, std::wstring& spec,
                      long& resultFlag) {
  std::wstring folder, pattern;
  if (full.specPos <= full.path.size()) {
    pattern = full.path.substr(full.specPos - 1);
    folder = Qualify(full.path.substr(0, full.specPos - 1));
  } else {
    folder = Qualify(full.path);
    pattern = L"*.*";
  }
  if (!ExistFile(probe, folder)) {
    resultFlag = PathNameNotValid;
    return false;
  }
  initPath = folder;
  spec = pattern;
  return true;
}

}  // namespace

FullPathResult FullPath(PathProbe& probe, const std::wstring& path) {
  FullPathResult result;
  if (path.empty()) return result;
  result.path = probe.FullPathName(path);
  result.specPos = base::paths::FilePartPos(result.path);
  return result;
}

bool ExistFile(PathProbe& probe, const std::wstring& path, uint32_t required) {
  if (path.empty()) return false;
  uint32_t attributes = probe.Attributes(Qualify(path));
  if (attributes == kNoAttributes) return false;
  return (attributes & required) == required;
}

bool FileSpec(PathProbe& probe, std::wstring& initPath, std::wstring& spec, long& resultFlag) {
  try {
    FullPathResult full = FullPath(probe, initPath);
    std::wstring& sPath = full.path;
    const size_t specPos = full.specPos;
    // Case A: a folder with its closing "\", or a folder and a pattern that
    // its "." entry fits.
    if (!sPath.empty() && probe.FirstListedName(sPath) == L".") {
      if (!ExistFile(probe, sPath)) sPath.resize(specPos - 1);
      initPath = Qualify(sPath);
      spec = L"*.*";
      return true;
    }
    // Case B: an existing file or folder is searched for by name in its parent.
    if (ExistFile(probe, sPath)) {
      initPath = Qualify(sPath.substr(0, specPos - 1));
      bool folder = ExistFile(probe, sPath, kDirectoryBit);
      spec = folder && specPos > sPath.size() ? L"*.*" : sPath.substr(specPos - 1);
      return true;
    }
    return SplitMissingPath(probe, full, initPath, spec, resultFlag);
  } catch (const std::exception&) {
    resultFlag = DirExFailed;
    return false;
  }
}

}  // namespace search
