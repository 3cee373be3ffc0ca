// The routines' name test: backtracking over the last "*" only, linear in
// practice and free of recursion.
#include "routines/name_match.h"

#include "base/paths.h"

namespace routines {
namespace {

bool Everything(std::wstring_view pattern) { return pattern == L"*" || pattern == L"*.*"; }

}  // namespace

bool FitsFolded(std::wstring_view name, std::wstring_view pattern) {
  size_t n = 0, p = 0;
  size_t starP = std::wstring_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == L'*') {
      starP = ++p;
      starN = n;
    } else if (p < pattern.size() && (pattern[p] == L'?' || pattern[p] == name[n])) {
      ++p;
      ++n;
    } else if (starP != std::wstring_view::npos) {
      p = starP;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == L'*') ++p;
  return p == pattern.size();
}

NameMatch::NameMatch(const std::vector<std::wstring>& patterns) {
  for (const std::wstring& p : patterns) {
    everything_ = everything_ || Everything(p);
    patterns_.push_back(base::paths::FoldCase(p));
  }
}

bool NameMatch::Fits(std::wstring_view name) const {
  if (everything_) return true;
  if (patterns_.empty()) return false;
  const base::paths::FoldedName folded(name);
  for (const std::wstring& p : patterns_)
    if (FitsFolded(folded.View(), p)) return true;
  return false;
}

}  // namespace routines
