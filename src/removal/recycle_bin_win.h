// The removal passes in Recycle Bin mode: the listed files, then the listed
// folders that are empty by then, moved to the Recycle Bin with the shell's
// file operation, silently and many at a time.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "removal/fates_win.h"
#include "removal/removal_steps_win.h"

namespace removal {

// Only the items that `check` lets through are handed over (so never a name
// that the shell would take for another item, one ending in a dot or a
// blank); `bytes` gets the size of each file handed over.
void RecycleFiles(const std::vector<std::wstring>& files, FateCheck& check, std::vector<std::uint64_t>& bytes,
                  Pacer& pacer, std::vector<Refusal>& refusals);
// Folders go in rounds: first those empty now, then those whose only
// entries were in the rounds before, so each is empty when the shell moves
// it and the result is that of trying them one by one in pass order.
void RecycleFolders(const std::vector<std::wstring>& folders, const FateCheck& check, Pacer& pacer,
                    std::vector<Refusal>& refusals);

}  // namespace removal
