// Folder patterns matched one level at a time on the one folder lister.
#include "routines/folder_match_win.h"

#include <windows.h>

#include "base/file_identity_win.h"
#include "base/paths.h"
#include "routines/name_match.h"
#include "base/folder_listing_win.h"

namespace routines {
namespace {

bool Exists(const std::wstring& path, bool folderOnly) {
  const DWORD attributes = GetFileAttributesW(base::paths::Verbatim(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return !(attributes & FILE_ATTRIBUTE_REPARSE_POINT) || !base::IsLink(path);
  return !folderOnly;
}

// The items of `folders` that fit `part` (subfolders only unless `files`).
std::vector<std::wstring> Step(const std::vector<std::wstring>& folders, const std::wstring& part, bool files,
                               const std::atomic<bool>& stop) {
  std::vector<std::wstring> next;
  if (!HasWildcard(part)) {
    for (const std::wstring& folder : folders) {
      const std::wstring path = base::paths::JoinPath(folder, part);
      if (Exists(path, !files)) next.push_back(path);
    }
    return next;
  }
  const NameMatch match({part});
  for (const std::wstring& folder : folders) {
    if (stop) break;
    const std::wstring listed = base::paths::WithSeparator(folder);
    base::ListEntries(listed, L"*", stop, [&](const WIN32_FIND_DATAW& data) {
      const bool isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
      if ((isFolder && base::IsLinkEntry(data)) || (!isFolder && !files)) return true;
      if (match.Fits(data.cFileName)) next.push_back(base::paths::EntryPath(listed, data.cFileName));
      return true;
    });
  }
  return next;
}

std::vector<std::wstring> Match(const FolderPattern& pattern, bool itemsLast, const std::atomic<bool>& stop) {
  std::vector<std::wstring> found;
  if (pattern.parts.empty()) {
    if (Exists(pattern.root, !itemsLast)) found.push_back(pattern.root);
    return found;
  }
  if (!IsPlainFolder(pattern.root)) return found;
  found.push_back(pattern.root);
  for (size_t i = 0; i < pattern.parts.size() && !found.empty() && !stop; ++i)
    found = Step(found, pattern.parts[i], itemsLast && i + 1 == pattern.parts.size(), stop);
  return found;
}

}  // namespace

bool IsPlainFolder(const std::wstring& folder) { return Exists(folder, true); }

bool ReachedThroughLink(const std::wstring& from, const std::wstring& folder) {
  const std::wstring fromKey = base::paths::PathKey(from);
  const bool below = base::paths::KeyBelow(base::paths::PathKey(folder), fromKey);
  const size_t stopAt = below ? base::paths::WithSeparator(from).size() : base::paths::Root(folder).size();
  for (std::wstring step = base::paths::WithoutSeparator(folder); step.size() > stopAt;
       step = base::paths::WithoutSeparator(base::paths::ParentOf(step))) {
    const DWORD attributes = GetFileAttributesW(base::paths::Verbatim(step).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) && base::IsLink(step))
      return true;
  }
  return false;
}

std::vector<std::wstring> MatchFolders(const FolderPattern& pattern, const std::atomic<bool>& stop) {
  return Match(pattern, false, stop);
}

bool AnyItemFits(const FolderPattern& pattern, const std::atomic<bool>& stop) {
  return !Match(pattern, true, stop).empty();
}

}  // namespace routines
