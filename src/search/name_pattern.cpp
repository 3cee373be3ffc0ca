// The case-sensitive name test: backtracking over the last "*" only, which
// keeps the match linear in practice and free of recursion.
#include "search/name_pattern.h"

namespace search {
namespace {

enum class Step { Fits, DoesNotFit, Bad };

// Tests one character against the bracket list that starts at pattern[at]
// (the "["); on success `next` is the position after the closing "]".
Step FitsBracket(wchar_t c, std::wstring_view pattern, size_t at, size_t& next) {
  size_t i = at + 1;
  bool negate = i < pattern.size() && pattern[i] == L'!';
  if (negate) ++i;
  bool found = false;
  for (; i < pattern.size(); ++i) {
    wchar_t low = pattern[i];
    if (low == L']') break;
    wchar_t high = low;
    if (i + 2 < pattern.size() && pattern[i + 1] == L'-' && pattern[i + 2] != L']') {
      high = pattern[i + 2];
      if (high < low) return Step::Bad;
      i += 2;
    }
    if (c >= low && c <= high) found = true;
  }
  if (i >= pattern.size()) return Step::Bad;
  next = i + 1;
  return found != negate ? Step::Fits : Step::DoesNotFit;
}

// One pattern element (not "*") against one character.
Step FitsOne(wchar_t c, std::wstring_view pattern, size_t at, size_t& next) {
  next = at + 1;
  switch (pattern[at]) {
    case L'?': return Step::Fits;
    case L'#': return c >= L'0' && c <= L'9' ? Step::Fits : Step::DoesNotFit;
    case L'[': return FitsBracket(c, pattern, at, next);
    default: return c == pattern[at] ? Step::Fits : Step::DoesNotFit;
  }
}

// Brackets are checked up front so that a bad pattern is reported whatever
// the name, not only when the match happens to reach it.
bool BracketsWellFormed(std::wstring_view pattern) {
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] != L'[') continue;
    size_t next = 0;
    if (FitsBracket(L'\0', pattern, i, next) == Step::Bad) return false;
    i = next - 1;
  }
  return true;
}

}  // namespace

PatternFit FitsPattern(std::wstring_view name, std::wstring_view pattern) {
  if (!BracketsWellFormed(pattern)) return PatternFit::BadPattern;
  size_t n = 0, p = 0;
  size_t starP = std::wstring_view::npos, starN = 0;
  while (n < name.size()) {
    size_t next = 0;
    if (p < pattern.size() && pattern[p] == L'*') {
      starP = ++p;
      starN = n;
    } else if (p < pattern.size() && FitsOne(name[n], pattern, p, next) == Step::Fits) {
      p = next;
      ++n;
    } else if (starP != std::wstring_view::npos) {
      p = starP;
      n = ++starN;
    } else {
      return PatternFit::DoesNotFit;
    }
  }
  while (p < pattern.size() && pattern[p] == L'*') ++p;
  return p == pattern.size() ? PatternFit::Fits : PatternFit::DoesNotFit;
}

PatternFit FitsAnyPattern(std::wstring_view name, const std::vector<std::wstring>& patterns) {
  PatternFit fit = PatternFit::DoesNotFit;
  for (const std::wstring& pattern : patterns) {
    switch (FitsPattern(name, pattern)) {
      case PatternFit::BadPattern: return PatternFit::BadPattern;
      case PatternFit::Fits:
        fit = PatternFit::Fits;  // the rest are still checked for bad ones
        break;
      default: break;
    }
  }
  return fit;
}

bool MatchesEverything(std::wstring_view pattern) { return pattern == L"*" || pattern == L"*.*"; }

}  // namespace search
