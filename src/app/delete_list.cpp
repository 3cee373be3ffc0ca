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

void DeleteList::SetCheckedRows(const std::vector<size_t>& rows, bool checked) {
  for (size_t row : rows) {
    if (row < entries_.size()) entries_[row].checked = checked;
  }
}

void DeleteList::RemoveRows(const std::vector<size_t>& rows) {
  std::vector<bool> doomed(entries_.size(), false);
  for (size_t row : rows) {
    if (row < doomed.size()) doomed[row] = true;
  }
  size_t kept = 0;
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (doomed[i]) continue;
    if (kept != i) entries_[kept] = std::move(entries_[i]);  // never onto itself: that empties it
    ++kept;
  }
  entries_.resize(kept);
}

std::wstring DeleteList::PathsText(const std::vector<size_t>& rows) const {
  std::vector<size_t> ordered;
  for (size_t row : rows) {
    if (row < entries_.size()) ordered.push_back(row);
  }
  std::sort(ordered.begin(), ordered.end());
  ordered.erase(std::unique(ordered.begin(), ordered.end()), ordered.end());
  std::wstring text;
  for (size_t row : ordered) {
    if (!text.empty()) text += L"\r\n";
    text += entries_[row].path;
  }
  return text;
}

std::wstring ItemsLoadedText(size_t count) { return std::to_wstring(count) + L" items loaded..."; }
std::wstring ItemsSavedText(size_t count) { return std::to_wstring(count) + L" items saved..."; }

}  // namespace app
