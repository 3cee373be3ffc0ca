// The delete list: ordered entries with a path text, a type text and a check
// mark. The main window shows it through a virtual list view; all list logic
// lives here. A folder rule is one entry; so is a record the program does
// not understand, which is kept and saved as it was loaded.
#pragma once
#include <cstddef>
#include <utility>
#include <string>
#include <vector>

#include "listfile/folder_rule.h"
#include "listfile/list_file.h"

namespace app {

// A record of the list (read once, a rule's fields parsed once) and its tick.
struct Entry : listfile::Record {
  Entry() = default;
  explicit Entry(listfile::Record record) : listfile::Record(std::move(record)) {}
  bool checked = false;
};

// A file's or a folder's entry (listfile::kFileType, kFolderType) put at
// the end of `entries`, built in place.
void AppendEntry(std::vector<Entry>& entries, std::wstring path, const std::wstring& type);

class DeleteList {
 public:
  size_t Count() const { return entries_.size(); }
  bool Empty() const { return entries_.empty(); }
  // Positions are 0-based here; the window shows them in this order.
  const Entry& At(size_t i) const { return entries_[i]; }
  const std::vector<Entry>& Entries() const { return entries_; }

  // A file's or a folder's entry (listfile::kFileType, kFolderType).
  void Append(std::wstring path, const std::wstring& type);
  // Entries made elsewhere (by a search's thread), moved to the end. The
  // first `room` of them are places left for this list's own entries: when
  // the list holds that many, they move there and the list becomes those
  // entries; otherwise the places are passed over.
  void Append(std::vector<Entry>&& entries, size_t room = 0);
  // A record as the list file holds it, kept as it is.
  void AppendRecord(std::wstring text);
  void AppendRule(const listfile::FolderRule& rule);
  void AppendRoutine(const listfile::Routine& routine);
  // Whether a routine of that name (as written) is in the list.
  bool HasRoutine(const std::wstring& name) const;
  // The entry becomes the rule, keeping its place and its tick.
  void SetRule(size_t i, const listfile::FolderRule& rule);
  // The entry's rule, when it is a rule's record that reads (parsed once,
  // when the record was read).
  bool RuleAt(size_t i, listfile::FolderRule& rule) const;
  // The File column: a rule's folder and summary, a rule's record that does
  // not read as it is written, any other entry's path.
  std::wstring ShownPath(size_t i) const;
  // Every entry's record text, in list order, for the list file.
  std::vector<std::wstring> RecordTexts() const;
  void Reserve(size_t n) { entries_.reserve(n); }
  void Clear();
  void SetChecked(size_t i, bool checked) { entries_[i].checked = checked; }
  void Toggle(size_t i) { entries_[i].checked = !entries_[i].checked; }

  // The list editing commands.
  void SelectAll();
  void Invert();
  // Takes out every ticked entry, keeping the order of the rest.
  void RemoveChecked();

  // Commands on the highlighted rows (0-based positions, any order, rows
  // past the end ignored).
  void SetCheckedRows(const std::vector<size_t>& rows, bool checked);
  // Takes the rows out whatever their ticks, keeping the order of the rest.
  void RemoveRows(const std::vector<size_t>& rows);
  // The rows' paths in list order, one per line (CR LF between them).
  std::wstring PathsText(const std::vector<size_t>& rows) const;

 private:
  std::vector<Entry> entries_;
};

// "<n> items loaded..." and "<n> items saved...".
std::wstring ItemsLoadedText(size_t count);
std::wstring ItemsSavedText(size_t count);

}  // namespace app
