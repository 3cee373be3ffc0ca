// The folder rule's choice of files, on the folder search's name test.
#include "removal/rule_files.h"

#include "search/name_pattern.h"

namespace removal {

bool RuleTakes(const listfile::FolderRule& rule, std::wstring_view name, uint64_t lastWritten, uint64_t now) {
  if (!rule.names.empty() && search::FitsAnyPattern(name, rule.names) != search::PatternFit::Fits) return false;
  if (search::FitsAnyPattern(name, rule.exceptions) != search::PatternFit::DoesNotFit) return false;
  return listfile::OldEnough(rule, lastWritten, now);
}

std::wstring PatternsProblem(const listfile::FolderRule& rule) {
  const bool bad = search::FitsAnyPattern(L"", rule.names) == search::PatternFit::BadPattern ||
                   search::FitsAnyPattern(L"", rule.exceptions) == search::PatternFit::BadPattern;
  if (!bad) return std::wstring();
  return L"A pattern has a \"[\" without its \"]\", or a range written backwards such as [z-a].";
}

}  // namespace removal
