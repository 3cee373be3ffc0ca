// What the routines window shows of a routines file: which entries fit this
// computer, what each would take now, which are ticked, and the rows the
// list view shows (filtered by the words typed, sorted by the column
// clicked). Portable: the window hands in what its workers found, and
// formats sizes through the function it gives and numbers in its style.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/taken_items.h"
#include "base/texts.h"
#include "routines/routines_file.h"

namespace app {

enum class Fit : unsigned char { Unknown, Fits, DoesNotFit };

// What one entry would take now, as the one answer for a routine tells it.
struct RoutineTake {
  bool known = false;
  uint64_t files = 0;
  uint64_t folders = 0;
  uint64_t bytes = 0;
  std::wstring refusal;  // why it takes nothing at all
  // Its files and the folders it empties, each by its path key: kept once
  // however many entries take them, for the total of the ticked.
  std::vector<TakenItem> items;
};

// The list view's columns, in order.
enum class RoutineColumn : int { Group, Name, Files, Folders, Size, Notes };
constexpr int kRoutineColumns = 6;

class RoutinesView {
 public:
  using SizeText = std::function<std::wstring(uint64_t bytes)>;
  explicit RoutinesView(SizeText sizeText = nullptr, base::text::NumberStyle style = base::text::NumberStyle());

  // A newly read file: every fit unknown, nothing ticked, nothing sized.
  void Reset(std::shared_ptr<const routines::RoutinesFile> file);
  const routines::RoutinesFile* File() const { return file_.get(); }
  size_t EntryCount() const { return file_ ? file_->entries.size() : 0; }
  const routines::Entry& EntryAt(size_t entry) const { return file_->entries[entry]; }

  // The workers' findings, by the entry's place in the file.
  void SetFits(const std::vector<Fit>& fits);
  void SetTake(size_t entry, RoutineTake take);

  // The rows: the fitting entries (and with `showAll` every other one too)
  // whose names hold every typed word at the start of one of their words,
  // letter case aside; by group and name until a column is clicked.
  void SetFilter(const std::wstring& typed);
  void SetShowAll(bool showAll);
  // A click on a column header: names and groups in order, sizes and
  // counts largest first; the same column again turns the order round.
  void SortBy(RoutineColumn column);
  // Sorts again: sizes that came in since may change the order.
  void Resort() { Rebuild(); }
  bool SortedByTake() const { return sortColumn_ >= RoutineColumn::Files && sortColumn_ <= RoutineColumn::Size; }
  size_t RowCount() const { return rows_.size(); }
  size_t EntryOfRow(size_t row) const { return rows_[row]; }
  std::wstring Cell(size_t row, RoutineColumn column) const;

  // Only an understood entry can be ticked.
  bool CanTick(size_t entry) const;
  bool Ticked(size_t entry) const { return ticked_[entry]; }
  void SetTicked(size_t entry, bool ticked);
  std::vector<size_t> TickedEntries() const;

  // "12 of 40 entries fit this computer." (and how many are not
  // understood); a note while the fits are being decided.
  std::wstring FitLine() const;
  // The ticked entries' total, an item several of them take counted once:
  // "3 ticked: 120 files, 4 folders (1.2 MB)".
  std::wstring TotalLine() const;

 private:
  void Rebuild();
  bool Shown(size_t entry) const;
  bool Before(size_t a, size_t b) const;
  const std::wstring& FoldedName(size_t entry) const;
  const std::wstring& FoldedGroup(size_t entry) const;

  SizeText sizeText_;
  base::text::NumberStyle style_;
  std::shared_ptr<const routines::RoutinesFile> file_;
  std::vector<Fit> fits_;
  std::vector<RoutineTake> takes_;
  TakenItems items_;
  std::vector<TakenItems::Ids> itemIds_;  // by entry
  std::vector<bool> ticked_;
  mutable std::vector<std::wstring> foldedNames_;
  mutable std::vector<std::wstring> foldedGroups_;
  std::vector<std::wstring> words_;
  bool fitsKnown_ = false;
  bool showAll_ = false;
  RoutineColumn sortColumn_ = RoutineColumn::Group;
  bool sortReversed_ = false;
  std::vector<size_t> rows_;
};

// The entry's notes: a warning, registry parts left alone, not understood,
// not on this computer, why it takes nothing.
std::wstring EntryNotes(const routines::Entry& entry, Fit fit, const RoutineTake& take);
// The entry's keys as its section writes them, "[Name *]" first.
std::wstring EntryKeysText(const routines::Entry& entry);

}  // namespace app
