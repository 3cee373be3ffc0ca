// The routines window's model: fits, takes, ticks, and the rows shown.
#include "app/routines_view.h"

#include <algorithm>
#include <cwctype>
#include <utility>

#include "base/paths.h"
#include "base/texts.h"

namespace app {
namespace {

// The words of a text: runs of letters and digits.
std::vector<std::wstring> WordsOf(const std::wstring& text) {
  std::vector<std::wstring> words;
  std::wstring word;
  for (wchar_t c : text) {
    if (std::iswalnum(static_cast<wint_t>(c)) || c > 0x7F) {
      word += c;
    } else if (!word.empty()) {
      words.push_back(std::move(word));
      word.clear();
    }
  }
  if (!word.empty()) words.push_back(std::move(word));
  return words;
}

bool StartsAWord(const std::wstring& foldedName, const std::wstring& word) {
  for (size_t at = foldedName.find(word); at != std::wstring::npos; at = foldedName.find(word, at + 1)) {
    if (at == 0) return true;
    const wchar_t before = foldedName[at - 1];
    if (!std::iswalnum(static_cast<wint_t>(before)) && before <= 0x7F) return true;
  }
  return false;
}

// Sizes as a count of bytes, where no size text is given.
RoutinesView::SizeText PlainBytes(const base::text::NumberStyle& style) {
  return [style](uint64_t bytes) { return base::text::Counted(bytes, L"byte", L"bytes", style); };
}

}  // namespace

RoutinesView::RoutinesView(SizeText sizeText, base::text::NumberStyle style)
    : sizeText_(sizeText ? std::move(sizeText) : PlainBytes(style)), style_(std::move(style)) {}

void RoutinesView::Reset(std::shared_ptr<const routines::RoutinesFile> file) {
  file_ = std::move(file);
  const size_t n = EntryCount();
  fits_.assign(n, Fit::Unknown);
  takes_.assign(n, RoutineTake{});
  items_.Clear();
  itemIds_.assign(n, TakenItems::Ids());
  ticked_.assign(n, false);
  // Folded when first compared: a file of thousands shows a few hundred.
  foldedNames_.assign(n, std::wstring());
  foldedGroups_.assign(n, std::wstring());
  fitsKnown_ = false;
  Rebuild();
}

void RoutinesView::SetFits(const std::vector<Fit>& fits) {
  if (fits.size() != fits_.size()) return;
  fits_ = fits;
  fitsKnown_ = true;
  Rebuild();
}

void RoutinesView::SetTake(size_t entry, RoutineTake take) {
  if (entry >= takes_.size()) return;
  itemIds_[entry] = items_.Keep(std::move(take.items));
  take.items = std::vector<TakenItem>();  // kept once, by id
  takes_[entry] = std::move(take);
}

void RoutinesView::SetFilter(const std::wstring& typed) {
  words_ = WordsOf(base::paths::FoldCase(typed));
  Rebuild();
}

void RoutinesView::SetShowAll(bool showAll) {
  showAll_ = showAll;
  Rebuild();
}

void RoutinesView::SortBy(RoutineColumn column) {
  sortReversed_ = column == sortColumn_ && !sortReversed_;
  sortColumn_ = column;
  Rebuild();
}

const std::wstring& RoutinesView::FoldedName(size_t entry) const {
  if (foldedNames_[entry].empty()) foldedNames_[entry] = base::paths::FoldCase(EntryAt(entry).routine.name);
  return foldedNames_[entry];
}

const std::wstring& RoutinesView::FoldedGroup(size_t entry) const {
  if (foldedGroups_[entry].empty()) foldedGroups_[entry] = base::paths::FoldCase(EntryAt(entry).routine.group);
  return foldedGroups_[entry];
}

bool RoutinesView::Shown(size_t entry) const {
  if (!showAll_ && (fits_[entry] != Fit::Fits || !EntryAt(entry).Understood())) return false;
  for (const std::wstring& word : words_)
    if (!StartsAWord(FoldedName(entry), word)) return false;
  return true;
}

// Sizes and counts not known yet go last whichever way round.
bool RoutinesView::Before(size_t a, size_t b) const {
  if (sortColumn_ == RoutineColumn::Files || sortColumn_ == RoutineColumn::Folders ||
      sortColumn_ == RoutineColumn::Size) {
    const RoutineTake &ta = takes_[a], &tb = takes_[b];
    if (ta.known != tb.known) return ta.known;
    const auto value = [this](const RoutineTake& t) {
      return sortColumn_ == RoutineColumn::Files     ? t.files
             : sortColumn_ == RoutineColumn::Folders ? t.folders
                                                     : t.bytes;
    };
    if (value(ta) != value(tb)) return (value(ta) > value(tb)) != sortReversed_;
  } else {
    if (sortColumn_ != RoutineColumn::Name && FoldedGroup(a) != FoldedGroup(b))
      return (FoldedGroup(a) < FoldedGroup(b)) != sortReversed_;
    if (FoldedName(a) != FoldedName(b)) return (FoldedName(a) < FoldedName(b)) != sortReversed_;
  }
  return a < b;
}

void RoutinesView::Rebuild() {
  rows_.clear();
  for (size_t i = 0; i < EntryCount(); ++i)
    if (Shown(i)) rows_.push_back(i);
  std::sort(rows_.begin(), rows_.end(), [this](size_t a, size_t b) { return Before(a, b); });
}

std::wstring RoutinesView::Cell(size_t row, RoutineColumn column) const {
  const size_t entry = rows_[row];
  const routines::Entry& e = EntryAt(entry);
  const RoutineTake& take = takes_[entry];
  const bool counted = take.known && take.refusal.empty();
  switch (column) {
    case RoutineColumn::Group: return e.routine.group;
    case RoutineColumn::Name: return e.routine.warning.empty() ? e.routine.name : L"(!) " + e.routine.name;
    case RoutineColumn::Files: return counted ? base::text::GroupedNumber(take.files, style_) : std::wstring();
    case RoutineColumn::Folders: return counted ? base::text::GroupedNumber(take.folders, style_) : std::wstring();
    case RoutineColumn::Size: return counted ? sizeText_(take.bytes) : std::wstring();
    case RoutineColumn::Notes: return EntryNotes(e, fits_[entry], take);
  }
  return std::wstring();
}

bool RoutinesView::CanTick(size_t entry) const { return entry < EntryCount() && EntryAt(entry).Understood(); }

void RoutinesView::SetTicked(size_t entry, bool ticked) {
  if (entry < ticked_.size() && (!ticked || CanTick(entry))) ticked_[entry] = ticked;
}

std::vector<size_t> RoutinesView::TickedEntries() const {
  std::vector<size_t> ticked;
  for (size_t i = 0; i < ticked_.size(); ++i)
    if (ticked_[i]) ticked.push_back(i);
  return ticked;
}

std::wstring RoutinesView::FitLine() const {
  if (!file_) return std::wstring();
  const base::text::NumberStyle& style = style_;
  if (!fitsKnown_)
    return L"Deciding which of " + base::text::Counted(EntryCount(), L"entry", L"entries", style) +
           L" fit this computer...";
  size_t fitting = 0, unread = 0;
  for (size_t i = 0; i < EntryCount(); ++i) {
    if (!EntryAt(i).Understood())
      ++unread;
    else if (fits_[i] == Fit::Fits)
      ++fitting;
  }
  std::wstring line = base::text::GroupedNumber(fitting, style) + L" of " +
                      base::text::Counted(EntryCount(), L"entry", L"entries", style) + L" fit this computer.";
  if (unread != 0) line += L" " + base::text::Counted(unread, L"entry is", L"entries are", style) + L" not understood.";
  return line;
}

std::wstring RoutinesView::TotalLine() const {
  const std::vector<size_t> ticked = TickedEntries();
  if (ticked.empty()) return L"Nothing ticked.";
  std::vector<const TakenItems::Ids*> ids;
  bool counting = false;
  for (size_t i : ticked) {
    if (!takes_[i].known && fits_[i] == Fit::Fits) counting = true;
    ids.push_back(&itemIds_[i]);
  }
  const TakenTotal total = items_.Total(ids);
  const base::text::NumberStyle& style = style_;
  return base::text::GroupedNumber(ticked.size(), style) + L" ticked: " +
         base::text::Counted(total.files, L"file", L"files", style) + L", " +
         base::text::Counted(total.folders, L"folder", L"folders", style) + L" (" + sizeText_(total.bytes) + L")" +
         (counting ? L", still counting..." : L".");
}

std::wstring EntryNotes(const routines::Entry& entry, Fit fit, const RoutineTake& take) {
  if (!entry.Understood()) return L"Not understood: " + entry.problem;
  std::vector<std::wstring> notes;
  if (!entry.routine.warning.empty()) notes.push_back(L"Warning");
  if (fit == Fit::DoesNotFit) notes.push_back(L"Not on this computer");
  if (take.known && !take.refusal.empty() && fit != Fit::DoesNotFit) notes.push_back(L"Takes nothing: " + take.refusal);
  if (entry.regKeys != 0) notes.push_back(L"Registry parts stay");
  std::wstring text;
  for (const std::wstring& note : notes) text += (text.empty() ? L"" : L"; ") + note;
  return text;
}

std::wstring EntryKeysText(const routines::Entry& entry) {
  std::wstring text = L"[" + entry.routine.name + L" *]\r\n";
  for (const listfile::RoutineKey& key : entry.keys) text += key.name + L"=" + key.value + L"\r\n";
  return text;
}

}  // namespace app
