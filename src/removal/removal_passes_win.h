// The two deletion passes of a removal run: every listed file, then every
// listed folder that is empty by then, each pass from the last record to the
// first. Nothing is emptied by force, nothing is removed recursively, and a
// folder link is never followed.
#pragma once
#include <cstddef>
#include <functional>
#include <vector>

#include "removal/removal_plan.h"

namespace removal {

// Called a few times a second while the passes run: items done, items in all.
using ProgressFn = std::function<void(size_t done, size_t total)>;

// Runs both passes and gives back the listed items that are still there,
// each once, in the order they failed, with the reason.
std::vector<Leftover> RunPasses(const Plan& plan, const ProgressFn& progress = nullptr);

// False where removing a folder link may remove the folder behind it too
// (Wine removes the target of a link to an empty folder).
bool FolderLinksRemovableAlone();

}  // namespace removal
