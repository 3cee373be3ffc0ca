// A routine's name patterns: "*" any run of characters, "?" one character,
// every other character itself ("[", "]" and "#" too: "www.office[1].xml"
// is a name). "*.*" is every file; in any other pattern a dot must be in
// the name ("settings.ini.*" takes "settings.ini.bak", never
// "settings.ini": of two readings, the one that takes less). Names are
// matched on the long name the listing gives, never through the file
// system's own pattern search, which also matches short 8.3 aliases
// ("*.log" would find "dism.log1"); letter case as the file system
// compares it (base::paths::FoldCase).
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
