// The two deletion passes of a removal run: every listed file, then every
// listed folder that is empty by then, each pass from the last record to the
// first. Nothing is emptied by force, nothing is removed recursively, a
// folder link is never followed and a drive root is never removed. Items
// refused for a moment (held open by a scanner or an indexer) are tried
// again after the pass's first sweep; read-only items are removed too.
// Files are deleted on a few worker threads, with the same result and the
// same report as one by one; folders and the Recycle Bin go one by one.
#pragma once
#include <cstddef>
#include <functional>
#include <vector>

#include "removal/removal_plan.h"

namespace removal {

// Called a few times a second while the passes run: items done, items in all.
using ProgressFn = std::function<void(size_t done, size_t total)>;

// Deleting for good, or moving to the Recycle Bin.
enum class Disposal { Delete, RecycleBin };

// Runs both passes and gives back the listed items that are still there,
// each once, in the order they failed, with the reason.
std::vector<Leftover> RunPasses(const Plan& plan, const ProgressFn& progress = nullptr,
                                Disposal disposal = Disposal::Delete);

// False where removing a folder link may remove the folder behind it too
// (Wine removes the target of a link to an empty folder).
bool FolderLinksRemovableAlone();

}  // namespace removal
