// Items below a listed folder that has become a link. A delete list names a
// folder and the items in it; when that folder is replaced by a junction, a
// symbolic link or a mount point before the run, the same names lead into
// some other folder that the list never named. Such items are not tried.
// Only the folders the list names count: a path that merely passes through
// some link (under Wine the profile's Documents is one) is tried as usual.
// Portable: whether a folder is a link is asked of the caller.
#pragma once
#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

namespace removal {

class LinkGuard {
 public:
  // Sees every listed folder and file.
  LinkGuard(const std::vector<std::wstring>& folders, const std::vector<std::wstring>& files);
  // The listed folders that some listed item lies below, as listed: only
  // these need to be looked at on the disk.
  const std::vector<std::wstring>& FoldersAbove() const { return above_; }
  // Tells which of FoldersAbove() are links now (indices into it).
  void SetLinks(const std::vector<size_t>& linkIndices);
  bool AnyLink() const { return anyLink_; }
  // For each path: true when a listed folder above it is a link now.
  std::vector<bool> Blocked(const std::vector<std::wstring>& paths);

 private:
  // The FoldersAbove() indices of the listed folders at or above this folder.
  const std::vector<size_t>& ListedAtOrAbove(const std::wstring& folderKey);
  const std::vector<size_t>& ListedAboveItem(const std::wstring& path);

  std::unordered_map<std::wstring, size_t> listed_;  // key -> index into folders_
  std::vector<std::wstring> folders_;
  std::unordered_map<size_t, size_t> aboveIndex_;  // folders_ index -> above_ index
  std::vector<std::wstring> above_;
  std::vector<bool> isLink_;
  bool anyLink_ = false;
  std::unordered_map<std::wstring, std::vector<size_t>> byParent_;
  std::wstring lastParent_;
  const std::vector<size_t>* lastFound_ = nullptr;
};

}  // namespace removal
