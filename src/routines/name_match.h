// A routine's name patterns ("*" and "?" only; "*.*" is every file),
// matched on long names alone, in the file system's letter case.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace routines {

// Both already folded.
bool FitsFolded(std::wstring_view name, std::wstring_view pattern);

// Patterns folded once, for a walk that asks about many names.
class NameMatch {
 public:
  explicit NameMatch(const std::vector<std::wstring>& patterns);
  // No pattern: no name fits.
  bool Empty() const { return patterns_.empty(); }
  // Whether the name fits one of the patterns.
  bool Fits(std::wstring_view name) const;

 private:
  std::vector<std::wstring> patterns_;
  bool everything_ = false;
};

}  // namespace routines
