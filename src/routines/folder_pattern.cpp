// Folder patterns: split once, compared part by part.
#include "routines/folder_pattern.h"

#include <algorithm>

#include "base/paths.h"
#include "routines/name_match.h"

namespace routines {

bool HasWildcard(std::wstring_view text) { return text.find_first_of(L"*?") != std::wstring_view::npos; }

bool SplitFolderPattern(const std::wstring& folder, FolderPattern& pattern, std::wstring& problem) {
  // A variable's value names a drive without a closing separator
  // (%SystemDrive% is "C:"): that is the drive's root, never the folder
  // the drive happens to be in.
  const std::wstring plain = folder.size() == 2 && folder[1] == L':' ? base::paths::Qualify(folder) : folder;
  // Steps are refused before the spelling resolves them: a wildcard part
  // followed by ".." would climb out of what it matched.
  for (std::wstring_view piece : base::paths::SplitNames(plain)) {
    if (base::paths::IsStep(piece)) {
      problem = L"the folder \"" + folder + L"\" climbs out of itself";
      return false;
    }
  }
  const std::wstring canonical = base::paths::IsFullPath(plain) ? base::paths::Canonical(plain) : std::wstring();
  if (canonical.empty()) {
    problem = L"the folder \"" + folder + L"\" is not a full path";
    return false;
  }
  FolderPattern read;
  const size_t rootLength = base::paths::RootLength(canonical);
  size_t fixedEnd = canonical.size();  // where the fixed part ends
  const size_t wild = canonical.find_first_of(L"*?");
  if (wild < rootLength) {
    problem = L"the folder \"" + folder + L"\" has a wildcard in its drive";
    return false;
  }
  if (wild != std::wstring::npos) {
    const size_t separator = base::paths::LastSeparator(std::wstring_view(canonical).substr(0, wild));
    fixedEnd = separator < rootLength ? rootLength : separator;
    for (std::wstring_view part : base::paths::SplitNames(std::wstring_view(canonical).substr(separator + 1)))
      read.parts.emplace_back(part);
  }
  read.root = canonical.substr(0, fixedEnd);
  if (read.root.size() < rootLength) read.root = canonical.substr(0, rootLength);
  pattern = std::move(read);
  return true;
}

size_t PatternPrefix(const FolderPattern& pattern, const std::wstring& folder) {
  const std::wstring& root = pattern.root;
  if (folder.size() < root.size() || !base::paths::SameText(std::wstring_view(folder).substr(0, root.size()), root))
    return std::wstring::npos;
  size_t at = root.size();
  // A root ends in its separator ("C:\"); any other root must end a name.
  if (!base::paths::IsSeparator(root.back())) {
    if (at < folder.size() && !base::paths::IsSeparator(folder[at])) return std::wstring::npos;
  } else {
    --at;
  }
  for (const std::wstring& part : pattern.parts) {
    if (at + 1 >= folder.size()) return std::wstring::npos;
    const size_t next = std::min(base::paths::NextSeparator(folder, at + 1), folder.size());
    const std::wstring name = base::paths::FoldCase(folder.substr(at + 1, next - at - 1));
    if (!FitsFolded(name, base::paths::FoldCase(part))) return std::wstring::npos;
    at = next;
  }
  return at;
}

std::wstring StartFolder(const listfile::Routine& routine, const VariableLookup& lookup) {
  for (const listfile::FileKey& key : routine.fileKeys) {
    for (const std::wstring& text : ExpandVariables(key.folder, lookup).texts) {
      FolderPattern pattern;
      std::wstring problem;
      if (SplitFolderPattern(text, pattern, problem)) return pattern.root;
    }
  }
  return std::wstring();
}

}  // namespace routines
