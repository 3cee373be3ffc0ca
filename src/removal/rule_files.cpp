// The folder rule's choice of files, on the folder search's name test.
#include "removal/rule_files.h"

#include "base/paths.h"
#include "search/name_pattern.h"

namespace removal {

namespace {

// "*.*" is every file to a Windows user, names without a dot too, as the
// folder search takes it.
std::vector<std::wstring> Folded(const std::vector<std::wstring>& patterns) {
  std::vector<std::wstring> folded;
  folded.reserve(patterns.size());
  for (const std::wstring& pattern : patterns)
    folded.push_back(search::MatchesEverything(pattern) ? L"*" : base::paths::FoldCase(pattern));
  return folded;
}

}  // namespace

RuleChoice::RuleChoice(const listfile::FolderRule& rule)
    : rule_(rule), names_(Folded(rule.names)), exceptions_(Folded(rule.exceptions)) {}

bool RuleChoice::Takes(std::wstring_view name, uint64_t lastWritten, uint64_t now) const {
  if (!listfile::OldEnough(rule_, lastWritten, now)) return false;
  if (names_.empty() && exceptions_.empty()) return true;  // all files: no name to fold
  const base::paths::FoldedName folded(name);
  if (!names_.empty() && search::FitsAnyPattern(folded.View(), names_) != search::PatternFit::Fits) return false;
  return search::FitsAnyPattern(folded.View(), exceptions_) == search::PatternFit::DoesNotFit;
}

std::wstring PatternsProblem(const listfile::FolderRule& rule) {
  const bool bad = search::FitsAnyPattern(L"", rule.names) == search::PatternFit::BadPattern ||
                   search::FitsAnyPattern(L"", rule.exceptions) == search::PatternFit::BadPattern;
  if (!bad) return std::wstring();
  return L"A pattern has a \"[\" without its \"]\", or a range written backwards such as [z-a].";
}

}  // namespace removal
