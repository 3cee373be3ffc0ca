// What the password prompt's preview shows, kept apart from the window: one
// row per listed item with what the run would do to it, the totals per
// drive, sorting, type-to-find and the text Copy puts on the clipboard.
// The rows come from the fates the run itself decides by (fate.h); this
// only words and orders them. Portable: sizes are worded by a function the
// window hands in.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "removal/fate.h"
#include "removal/removal_plan.h"

namespace removal {

// Words a byte count ("1.50 KB").
using SizeText = std::function<std::wstring(std::uint64_t bytes)>;

// "will be removed", "already gone", "will stay: <reason>" or "listed above".
std::wstring OutcomeText(const Fate& fate);

// The drive letter ("C:") or share ("\\server\share") of a full path, the
// letter in upper case; the empty text for any other path.
std::wstring DriveOf(const std::wstring& path);

// What the run would remove on one drive or share.
struct DriveTotals {
  std::wstring drive;
  size_t files = 0;
  size_t folders = 0;
  std::uint64_t bytes = 0;
};
struct PreviewTotals {
  std::vector<DriveTotals> drives;  // in the order of their first item
  size_t files = 0;                 // to remove, on all drives
  size_t folders = 0;
  std::uint64_t bytes = 0;
  size_t gone = 0;
  size_t stay = 0;
  size_t listed = 0;  // rows naming an item an earlier row names
};
PreviewTotals Tally(const std::vector<Fate>& fates);
// Three lines: what will be removed in all, the same per drive, and how
// many are already gone and how many will stay (and how many rows list an
// item again, when any do). Numbers as the user's locale writes them.
std::wstring TotalsText(const PreviewTotals& totals, const SizeText& sizeText,
                        const NumberStyle& style = NumberStyle());

enum class Column { Path, Outcome, Size };

class Preview {
 public:
  Preview(std::vector<Fate> fates, SizeText sizeText);

  size_t Count() const { return order_.size(); }
  const PreviewTotals& Totals() const { return totals_; }
  // The text of a cell of the row shown at this place. The Size column
  // holds a file's size when it will be removed and "folder" for a folder.
  std::wstring Cell(size_t row, Column column) const;

  // Sorts by the column; the same column again turns the order round.
  // Rows that compare equal keep the order the run takes them in.
  void SortBy(Column column);
  bool Sorted() const { return sorted_; }
  Column SortColumn() const { return column_; }
  bool Ascending() const { return ascending_; }

  // Type-to-find, as a list in Explorer does it: the first row from
  // `start` on, wrapping round, whose path begins with the typed text
  // (letter case aside); kNone when there is none.
  static constexpr size_t kNone = static_cast<size_t>(-1);
  size_t Find(const std::wstring& typed, size_t start) const;

  // Every row as shown, a header line first: path, outcome and size
  // separated by tabs, CR LF after each line.
  std::wstring CopyText() const;

 private:
  const Fate& At(size_t row) const { return fates_[order_[row]]; }
  const std::vector<std::wstring>& FoldedPaths();

  std::vector<Fate> fates_;
  SizeText sizeText_;
  std::vector<size_t> order_;
  std::vector<std::wstring> folded_;  // upper-case paths, made at the first path sort
  PreviewTotals totals_;
  bool sorted_ = false;
  Column column_ = Column::Path;
  bool ascending_ = true;
};

}  // namespace removal
