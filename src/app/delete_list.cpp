// Delete list model and the list editing commands.
#include "app/delete_list.h"

#include <algorithm>
#include <iterator>

namespace app {

// Built in place: an add moves a hundred thousand found paths through here.
void AppendEntry(std::vector<Entry>& entries, std::wstring path, const std::wstring& type) {
  Entry& entry = entries.emplace_back();
  entry.path = std::move(path);
  entry.type = type;
  entry.kind = listfile::KindOf(type);
}

void DeleteList::Append(std::wstring path, const std::wstring& type) { AppendEntry(entries_, std::move(path), type); }

void DeleteList::Append(std::vector<Entry>&& entries, size_t room) {
  room = std::min(room, entries.size());
  if (entries_.size() == room) {
    std::move(entries_.begin(), entries_.end(), entries.begin());
    entries_.swap(entries);
    return;
  }
  entries_.reserve(entries_.size() + entries.size() - room);
  std::move(entries.begin() + static_cast<std::ptrdiff_t>(room), entries.end(), std::back_inserter(entries_));
}

void DeleteList::AppendRecord(std::wstring text) { entries_.emplace_back(listfile::ReadRecord(std::move(text))); }

void DeleteList::AppendRule(const listfile::FolderRule& rule) { entries_.emplace_back(listfile::RuleRecord(rule)); }

void DeleteList::AppendRoutine(const listfile::Routine& routine) {
  entries_.emplace_back(listfile::RoutineRecord(routine));
}

bool DeleteList::HasRoutine(const std::wstring& name) const {
  return std::any_of(entries_.begin(), entries_.end(), [&](const Entry& e) {
    const listfile::Routine* routine = e.parsed.AsRoutine();
    return routine && routine->name == name;
  });
}

void DeleteList::SetRule(size_t i, const listfile::FolderRule& rule) {
  static_cast<listfile::Record&>(entries_[i]) = listfile::RuleRecord(rule);
}

bool DeleteList::RuleAt(size_t i, listfile::FolderRule& rule) const {
  const Entry& e = entries_[i];
  if (!e.parsed.AsRule()) return false;
  rule = *e.parsed.AsRule();
  return true;
}

// A rule or a routine that does not read shows its whole record, so that
// it never looks like one that would act; a routine that reads shows its
// name; other records show their path as they always have.
std::wstring DeleteList::ShownPath(size_t i) const {
  const Entry& e = entries_[i];
  if (e.kind == listfile::RecordKind::Routine) {
    const listfile::Routine* routine = e.parsed.AsRoutine();
    return routine ? routine->name : listfile::RecordText(e);
  }
  if (e.kind != listfile::RecordKind::Rule) return e.path;
  if (const listfile::FolderRule* rule = e.parsed.AsRule())
    return rule->folder + L"  (" + listfile::RuleSummary(*rule) + L")";
  return listfile::RecordText(e);
}

std::vector<std::wstring> DeleteList::RecordTexts() const {
  std::vector<std::wstring> texts;
  texts.reserve(entries_.size());
  for (const Entry& e : entries_) texts.push_back(listfile::RecordText(e));
  return texts;
}

void DeleteList::Clear() { std::vector<Entry>().swap(entries_); }

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
