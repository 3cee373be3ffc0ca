// Path folding for builds off Windows: case folded by the C library in a
// UTF-8 locale (all of Unicode, as the platform folds it), and no disk to
// ask for long names.
#include <locale.h>

#include <cwctype>

#include "base/paths.h"

namespace base::paths {

std::wstring FoldCase(std::wstring text) {
  static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
  for (wchar_t& c : text) c = static_cast<wchar_t>(utf8 ? towupper_l(c, utf8) : std::towupper(c));
  return text;
}

std::wstring LongNames(const std::wstring& path) { return path; }

}  // namespace base::paths
