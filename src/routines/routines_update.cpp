// The checks a fetched routines file passes before it is kept.
#include "routines/routines_update.h"

namespace routines {

UpdateCheck CheckUpdate(const std::string& fetchedBytes, const std::string& keptBytes) {
  UpdateCheck check;
  check.fetched = ReadRoutines(fetchedBytes);
  if (!keptBytes.empty()) {
    const RoutinesFile kept = ReadRoutines(keptBytes);
    if (kept.problem.empty()) check.keptEntries = kept.entries.size();
  }
  // Under nine tenths, in whole numbers: n / kept < 9 / 10.
  check.askFirst = check.fetched.problem.empty() && check.fetched.entries.size() * 10 < check.keptEntries * 9;
  return check;
}

std::wstring FewerEntriesQuestion(const UpdateCheck& check, const std::wstring& address,
                                  const base::text::NumberStyle& style) {
  return L"The routines file from\n" + address + L"\nholds " +
         base::text::Counted(check.fetched.entries.size(), L"entry", L"entries", style) + L", far fewer than the " +
         base::text::GroupedNumber(check.keptEntries, style) +
         L" of the kept file: it may have come cut short. Replace the kept file with it?";
}

}  // namespace routines
