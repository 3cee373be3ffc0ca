// Delete list model and the list editing commands.
#include "app/delete_list.h"

#include <algorithm>

namespace app {

void DeleteList::Append(std::wstring path, std::wstring type) {
  entries_.push_back(Entry{std::move(path), std::move(type), false});
}

void DeleteList::Clear() {
  std::vector<Entry>().swap(entries_);
}

void DeleteList::SelectAll() {
  for (Entry& e : entries_) e.checked = true;
}

void DeleteList::Invert() {
  for (Entry& e : entries_) e.checked = !e.checked;
}

void DeleteList::RemoveChecked() {
  entries_.erase(std::remove_if(entries_.begin(), entries_.end(), [](const Entry& e) { return e.checked; }),
                 entries_.end());
}

size_t DeleteList::CheckedCount() const {
  return static_cast<size_t>(std::count_if(entries_.begin(), entries_.end(), [](const Entry& e) { return e.checked; }));
}

std::wstring ItemsLoadedText(size_t count) { return std::to_wstring(count) + L" items loaded..."; }
std::wstring ItemsSavedText(size_t count) { return std::to_wstring(count) + L" items saved..."; }

}  // namespace app
