// The preview's rows, totals, order and texts (portable).
#include "removal/preview.h"

#include <algorithm>
#include <cwctype>
#include <utility>

#include "base/paths.h"
#include "base/texts.h"

namespace removal {
namespace {

using base::text::Counted;

std::wstring Upper(const std::wstring& text) {
  std::wstring upper(text);
  for (wchar_t& c : upper) c = static_cast<wchar_t>(std::towupper(c));
  return upper;
}

bool StartsWithNoCase(const std::wstring& text, const std::wstring& upperPrefix) {
  if (text.size() < upperPrefix.size()) return false;
  for (size_t i = 0; i < upperPrefix.size(); ++i)
    if (static_cast<wchar_t>(std::towupper(text[i])) != upperPrefix[i]) return false;
  return true;
}

std::wstring FilesAndFolders(size_t files, size_t folders, const NumberStyle& style) {
  return Counted(files, L"file", L"files", style) + L" and " + Counted(folders, L"folder", L"folders", style);
}

// A cell for the clipboard: a list file is plain text anyone can edit, so
// a tab or a line break inside a path must not split its row.
std::wstring OnOneLine(std::wstring text) {
  for (wchar_t& c : text)
    if (c < L' ') c = L' ';
  return text;
}

// Size order: rows without a size, then folders, then files by size.
int SizeRank(const Fate& fate) {
  if (fate.folder) return 1;
  return fate.outcome == Outcome::Remove ? 2 : 0;
}

}  // namespace

std::wstring OutcomeText(const Fate& fate) {
  switch (fate.outcome) {
    case Outcome::Remove: return L"will be removed";
    case Outcome::Gone: return L"already gone";
    case Outcome::Listed: return L"listed above";
    case Outcome::Rule: return fate.reason;
    default: return L"will stay: " + fate.reason;
  }
}

std::wstring DriveOf(const std::wstring& path) {
  std::wstring root = base::paths::Root(path);
  if (root.empty()) return root;
  root.pop_back();  // the closing backslash
  if (root.size() == 2) root[0] = static_cast<wchar_t>(std::towupper(root[0]));
  return root;
}

PreviewTotals Tally(const std::vector<Fate>& fates) {
  PreviewTotals totals;
  std::vector<std::wstring> keys;  // upper case: a share's name is one share in any case
  for (const Fate& fate : fates) {
    if (fate.outcome == Outcome::Gone) ++totals.gone;
    if (fate.outcome == Outcome::Stay) ++totals.stay;
    if (fate.outcome == Outcome::Listed) ++totals.listed;
    if (fate.outcome != Outcome::Remove) continue;
    const std::wstring drive = DriveOf(fate.path);
    const std::wstring key = Upper(drive);
    size_t at = static_cast<size_t>(std::find(keys.begin(), keys.end(), key) - keys.begin());
    if (at == keys.size()) {
      keys.push_back(key);
      totals.drives.push_back({drive});
    }
    DriveTotals& here = totals.drives[at];
    (fate.folder ? here.folders : here.files) += 1;
    (fate.folder ? totals.folders : totals.files) += 1;
    here.bytes += fate.bytes;
    totals.bytes += fate.bytes;
  }
  return totals;
}

std::wstring TotalsText(const PreviewTotals& totals, const SizeText& sizeText, const NumberStyle& style) {
  std::wstring text = L"Will be removed: " + FilesAndFolders(totals.files, totals.folders, style) + L", " +
                      sizeText(totals.bytes) + L"\r\n";
  for (size_t i = 0; i < totals.drives.size(); ++i) {
    const DriveTotals& d = totals.drives[i];
    text += (i ? L"; " : L"") + d.drive + L' ' + FilesAndFolders(d.files, d.folders, style) + L", " + sizeText(d.bytes);
  }
  text += L"\r\nAlready gone: " + GroupedNumber(totals.gone, style) + L". Will stay: " +
          GroupedNumber(totals.stay, style) + L".";
  if (totals.listed) text += L" Listed again: " + GroupedNumber(totals.listed, style) + L".";
  return text;
}

Preview::Preview(std::vector<Fate> fates, SizeText sizeText)
    : fates_(std::move(fates)), sizeText_(std::move(sizeText)), order_(fates_.size()), totals_(Tally(fates_)) {
  for (size_t i = 0; i < order_.size(); ++i) order_[i] = i;
}

std::wstring Preview::Cell(size_t row, Column column) const {
  const Fate& fate = At(row);
  switch (column) {
    case Column::Path: return fate.path;
    case Column::Outcome: return OutcomeText(fate);
    default:
      if (fate.outcome == Outcome::Rule) return sizeText_(fate.bytes);
      if (fate.folder) return L"folder";
      return fate.outcome == Outcome::Remove ? sizeText_(fate.bytes) : std::wstring();
  }
}

const std::vector<std::wstring>& Preview::FoldedPaths() {
  if (folded_.empty()) {
    folded_.reserve(fates_.size());
    for (const Fate& fate : fates_) folded_.push_back(Upper(fate.path));
  }
  return folded_;
}

void Preview::SortBy(Column column) {
  ascending_ = !(sorted_ && column_ == column && ascending_);
  sorted_ = true;
  column_ = column;
  // Ties stay in the run's order whichever way round the sort goes.
  std::sort(order_.begin(), order_.end());
  std::function<bool(size_t, size_t)> less;
  if (column == Column::Path) {
    const std::vector<std::wstring>& folded = FoldedPaths();
    less = [&folded](size_t a, size_t b) { return folded[a] < folded[b]; };
  } else if (column == Column::Size) {
    less = [this](size_t a, size_t b) {
      const Fate &x = fates_[a], &y = fates_[b];
      const int rx = SizeRank(x), ry = SizeRank(y);
      return rx != ry ? rx < ry : rx == 2 && x.bytes < y.bytes;
    };
  } else {
    less = [this](size_t a, size_t b) {
      const Fate &x = fates_[a], &y = fates_[b];
      return x.outcome != y.outcome ? x.outcome < y.outcome : x.reason < y.reason;
    };
  }
  if (ascending_)
    std::stable_sort(order_.begin(), order_.end(), less);
  else
    std::stable_sort(order_.begin(), order_.end(), [&less](size_t a, size_t b) { return less(b, a); });
}

size_t Preview::Find(const std::wstring& typed, size_t start) const {
  if (typed.empty() || order_.empty()) return kNone;
  const std::wstring prefix = Upper(typed);
  if (start >= order_.size()) start = 0;
  for (size_t n = 0; n < order_.size(); ++n) {
    const size_t row = (start + n) % order_.size();
    if (StartsWithNoCase(At(row).path, prefix)) return row;
  }
  return kNone;
}

std::wstring Preview::CopyText() const {
  std::wstring text = L"Path\tOutcome\tSize\r\n";
  for (size_t row = 0; row < order_.size(); ++row) {
    text += OnOneLine(Cell(row, Column::Path)) + L'\t' + OnOneLine(Cell(row, Column::Outcome)) + L'\t' +
            Cell(row, Column::Size) + L"\r\n";
  }
  return text;
}

}  // namespace removal
