// What a folder rule takes of the files it finds: its names (all files when
// it has none), none of its exceptions, old enough at the clock handed in.
// Names are matched as the folder search matches them (search/name_pattern.h).
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "listfile/folder_rule.h"

namespace removal {

bool RuleTakes(const listfile::FolderRule& rule, std::wstring_view name, uint64_t lastWritten, uint64_t now);
// Why the rule's patterns cannot be used (an unclosed "[", a range written
// backwards), for the user; empty when they can.
std::wstring PatternsProblem(const listfile::FolderRule& rule);

}  // namespace removal
