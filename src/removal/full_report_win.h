// The full report of a removal run that left more items than the closing
// message shows: a UTF-8 text file in the user's temporary folder.
#pragma once
#include <string>
#include <vector>

#include "removal/removal_plan.h"

namespace removal {

// Writes the report and returns the line for the closing message: where it
// is, or why it could not be written.
std::wstring WriteFullReport(const std::wstring& listPath, const std::vector<Leftover>& leftovers);

}  // namespace removal
