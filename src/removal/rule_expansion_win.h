// A plan's rules turned into items when a run (or its preview) starts: each
// rule walks its folder on the search's parallel walk, links never entered;
// the files it takes join the file pass (a file the list names already is
// one item) and the subfolders it empties, when it says so, join the folder
// pass ahead of the listed folders, deepest first. A rule on a protected
// place, or whose folder is a link, takes nothing. Nothing here touches the
// disk but to read it.
#pragma once
#include <atomic>
#include <cstdint>
#include <string>

#include "removal/removal_plan.h"
#include "removal/rule_answer_win.h"

namespace removal {

// Walks every rule of the plan once (AnswerRule). The list file
// (Plan::listPath) and the program are never taken. A raised `stop` ends the walks early; the rules
// not walked then take nothing.
void ExpandRules(Plan& plan, std::uint64_t now, const std::atomic<bool>* stop = nullptr);

}  // namespace removal
