// A plan's rules and routines turned into items when a run (or its preview)
// starts: each rule walks its folder on the search's parallel walk, links
// never entered, and each routine its keys' folders (routine_answer_win.h);
// the files it takes join the file pass (a file the list names already is
// one item) and the subfolders it empties, when it says so (a routine's
// REMOVESELF folders), join the folder pass ahead of the listed folders,
// deepest first. A rule on a protected
// place, or whose folder is a link, takes nothing. Nothing here touches the
// disk but to read it.
#pragma once
#include <atomic>
#include <cstdint>
#include <string>

#include "removal/removal_plan.h"
#include "removal/rule_answer_win.h"

namespace removal {

// Walks every rule and routine of the plan once (AnswerRule, AnswerRoutine;
// a routine with the variables of the user who runs). The list file
// (Plan::listPath) and the program are never taken. A raised `stop` ends the walks early; the rules
// not walked then take nothing.
void ExpandRules(Plan& plan, std::uint64_t now, const std::atomic<bool>* stop = nullptr);

}  // namespace removal
