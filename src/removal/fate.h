// What a removal run will do with one listed item, decided before anything
// is tried: the preview shows it, and the run tries only the items whose
// outcome is Remove. One decision serves both, so they never disagree.
#pragma once
#include <cstdint>
#include <string>

namespace removal {

// Listed: the record names an item an earlier row of the run already
// names (in pass order, in any spelling); the run takes it once.
// Rule: the row of a folder rule, above the files it takes now; it counts
// as no item itself.
enum class Outcome { Remove, Gone, Stay, Listed, Rule };

struct Fate {
  std::wstring path;    // as listed
  bool folder = false;  // listed as a folder
  Outcome outcome = Outcome::Stay;
  std::uint64_t bytes = 0;  // a file's size, when it will be removed; what a rule takes
  std::wstring reason;      // why it stays, worded as the closing report words it; what a rule takes
};

}  // namespace removal
