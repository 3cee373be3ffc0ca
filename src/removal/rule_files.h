// What a folder rule takes of the files it finds: its names (all files when
// it has none), none of its exceptions, old enough at the clock handed in.
// Names are matched on the folder search's name test (search/name_pattern.h)
// with letter case compared as the file system compares it: "*.docx" keeps
// REPORT.DOCX, as the user meant.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "listfile/folder_rule.h"

namespace removal {

// A rule's choice of names with its patterns folded once, for a walk that
// asks about many names.
class RuleChoice {
 public:
  explicit RuleChoice(const listfile::FolderRule& rule);
  bool Takes(std::wstring_view name, uint64_t lastWritten, uint64_t now) const;

 private:
  const listfile::FolderRule& rule_;
  std::vector<std::wstring> names_, exceptions_;
};

// Why the rule's patterns cannot be used (an unclosed "[", a range written
// backwards), for the user; empty when they can.
std::wstring PatternsProblem(const listfile::FolderRule& rule);

}  // namespace removal
