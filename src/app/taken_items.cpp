// The routines window's items, each kept once, and their union.
#include "app/taken_items.h"

#include <utility>

namespace app {

TakenItems::Ids TakenItems::Keep(std::vector<TakenItem>&& items) {
  Ids ids;
  ids.reserve(items.size());
  for (TakenItem& item : items) {
    const auto [at, added] = ids_.emplace(std::move(item.key), static_cast<uint32_t>(bytes_.size()));
    if (added) {
      bytes_.push_back(item.folder ? 0 : item.bytes);
      folders_.push_back(item.folder);
    }
    ids.push_back(at->second);
  }
  items.clear();
  return ids;
}

TakenTotal TakenItems::Total(const std::vector<const Ids*>& entries) const {
  TakenTotal total;
  std::vector<bool> counted(bytes_.size(), false);
  for (const Ids* ids : entries) {
    for (uint32_t id : *ids) {
      if (counted[id]) continue;
      counted[id] = true;
      if (folders_[id]) {
        ++total.folders;
      } else {
        ++total.files;
        total.bytes += bytes_[id];
      }
    }
  }
  return total;
}

void TakenItems::Clear() {
  ids_.clear();
  bytes_.clear();
  folders_.clear();
}

}  // namespace app
