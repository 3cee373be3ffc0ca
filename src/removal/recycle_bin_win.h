// The removal passes in Recycle Bin mode: the listed files, then the listed
// folders that are empty by then, moved to the Recycle Bin with the shell's
// file operation, silently and many at a time.
#pragma once
#include <string>
#include <vector>

#include "removal/removal_steps_win.h"

namespace removal {

void RecycleFiles(const std::vector<std::wstring>& files, Pacer& pacer, std::vector<Refusal>& refusals);
// Folders go in rounds: first those empty now, then those whose only
// entries were in the rounds before, so each is empty when the shell moves
// it and the result is that of trying them one by one in pass order.
void RecycleFolders(const std::vector<std::wstring>& folders, Pacer& pacer, std::vector<Refusal>& refusals);

}  // namespace removal
