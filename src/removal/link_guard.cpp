// Which listed items lie below a listed folder (portable string work only).
#include "removal/link_guard.h"

#include "base/paths.h"

namespace removal {

LinkGuard::LinkGuard(const std::vector<std::wstring>& folders, const std::vector<std::wstring>& files)
    : folders_(folders) {
  for (size_t i = 0; i < folders_.size(); ++i) listed_.emplace(base::paths::PathKey(folders_[i]), i);
  if (listed_.empty()) return;
  for (const std::wstring& file : files) ListedAboveItem(file);
  for (const std::wstring& folder : folders_) ListedAboveItem(folder);
  isLink_.assign(above_.size(), false);
}

const std::vector<size_t>& LinkGuard::ListedAtOrAbove(const std::wstring& folderKey) {
  auto found = byParent_.find(folderKey);
  if (found != byParent_.end()) return found->second;
  std::vector<size_t> indices;
  // A key is a plain spelling: its root ("C:" or "\\SERVER\SHARE") is the
  // last parent tried.
  const size_t root = base::paths::RootNameEnd(folderKey);
  for (size_t end = folderKey.size(); end >= root && end != std::wstring::npos;) {
    auto listed = listed_.find(folderKey.substr(0, end));
    if (listed != listed_.end()) {
      auto [at, added] = aboveIndex_.emplace(listed->second, above_.size());
      if (added) above_.push_back(folders_[listed->second]);
      indices.push_back(at->second);
    }
    if (end == root) break;
    end = base::paths::ParentEnd(std::wstring_view(folderKey).substr(0, end));
    if (end != std::wstring::npos && end < root) end = root;
  }
  return byParent_.emplace(folderKey, std::move(indices)).first->second;
}

// Items of one folder follow each other in a list, so the parent of the
// item before is tried first, as written, before any key is made.
const std::vector<size_t>& LinkGuard::ListedAboveItem(const std::wstring& path) {
  static const std::vector<size_t> kNone;
  const size_t end = base::paths::ParentEnd(path);
  if (end == std::wstring::npos) return kNone;
  if (lastFound_ && lastParent_.size() == end && path.compare(0, end, lastParent_) == 0) return *lastFound_;
  lastParent_.assign(path, 0, end);
  lastFound_ = &ListedAtOrAbove(base::paths::PathKey(lastParent_));
  return *lastFound_;
}

void LinkGuard::SetLinks(const std::vector<size_t>& linkIndices) {
  for (size_t i : linkIndices) {
    if (i >= isLink_.size()) continue;
    isLink_[i] = true;
    anyLink_ = true;
  }
}

std::vector<bool> LinkGuard::Blocked(const std::vector<std::wstring>& paths) {
  std::vector<bool> blocked;
  if (!anyLink_) return blocked;
  blocked.resize(paths.size());
  for (size_t i = 0; i < paths.size(); ++i)
    for (size_t above : ListedAboveItem(paths[i]))
      blocked[i] = blocked[i] || (above < isLink_.size() && isLink_[above]);
  return blocked;
}

}  // namespace removal
