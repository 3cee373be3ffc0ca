// The two deletion passes of a removal run: every listed file, then every
// listed folder empty by then, nothing recursive, no link followed, every
// path in its verbatim form; files and sibling folders go on a few workers,
// the Recycle Bin's in batches.
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "removal/disposal.h"
#include "removal/removal_plan.h"

namespace removal {

// What a run did: the listed items that are still there, each once, in the
// order they failed, with the reason; how many listed items it removed (of
// them files and folders, and the files' bytes); and whether it was stopped
// before the end.
struct RunResult {
  std::vector<Leftover> leftovers;
  size_t removed = 0;
  size_t removedFiles = 0;
  size_t removedFolders = 0;
  std::uint64_t removedBytes = 0;
  bool stopped = false;
  // Seconds each step took (for the benchmark): the rules' walks (set by
  // the run), the fate check of the folders, the file pass, the folder pass
  // and the tally of the result.
  double rulesSeconds = 0, checkSeconds = 0, filesSeconds = 0, foldersSeconds = 0, tallySeconds = 0;
};

// Runs both passes. Raising `stop` (from the window's own thread, between
// progress calls, or from any other) ends the run after the items in hand;
// the items not tried then stay and are reported as such.
RunResult RunPasses(const Plan& plan, const ProgressFn& progress = nullptr, Disposal disposal = Disposal::Delete,
                    const std::atomic<bool>* stop = nullptr);

}  // namespace removal
