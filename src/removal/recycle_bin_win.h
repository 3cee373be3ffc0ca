// The removal passes in Recycle Bin mode: the listed files, then the listed
// folders that are empty by then, moved to the Recycle Bin with the shell's
// file operation, silently and many at a time.
#pragma once
#include <string>
#include <vector>

#include "removal/removal_steps_win.h"

namespace removal {

// `blocked` marks the items not to be tried (below a folder link); empty
// when none is. A name that the shell would take for another item (one
// ending in a dot or a blank) is not handed over.
void RecycleFiles(const std::vector<std::wstring>& files, const std::vector<bool>& blocked, Pacer& pacer,
                  std::vector<Refusal>& refusals);
// Folders go in rounds: first those empty now, then those whose only
// entries were in the rounds before, so each is empty when the shell moves
// it and the result is that of trying them one by one in pass order.
void RecycleFolders(const std::vector<std::wstring>& folders, const std::vector<bool>& blocked, Pacer& pacer,
                    std::vector<Refusal>& refusals);

}  // namespace removal
