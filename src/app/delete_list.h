// The delete list: ordered entries with a path text, a type text and a check
// mark. The main window shows it through a virtual list view; all list logic
// lives here.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace app {

struct Entry {
  std::wstring path;
  std::wstring type;
  bool checked = false;
};

class DeleteList {
 public:
  size_t Count() const { return entries_.size(); }
  bool Empty() const { return entries_.empty(); }
  // Positions are 0-based here; the window shows them in this order.
  const Entry& At(size_t i) const { return entries_[i]; }
  const std::vector<Entry>& Entries() const { return entries_; }

  void Append(std::wstring path, std::wstring type);
  void Reserve(size_t n) { entries_.reserve(n); }
  void Clear();
  void SetChecked(size_t i, bool checked) { entries_[i].checked = checked; }
  void Toggle(size_t i) { entries_[i].checked = !entries_[i].checked; }

  // The list editing commands.
  void SelectAll();
  void Invert();
  // Takes out every ticked entry, keeping the order of the rest.
  void RemoveChecked();
  size_t CheckedCount() const;

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
