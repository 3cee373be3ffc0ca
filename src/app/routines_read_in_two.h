// A routines file's bytes read into its entries on two threads, the file
// cut in two at a section's line where that cannot change what it reads
// as: plain ASCII, or UTF-8 behind its byte-order mark (either half then
// decodes as the whole would), and no NUL byte. The second half starts
// with as many empty lines as the first holds, so every line keeps its
// number. Otherwise, and for a small file, it is read whole on the
// caller's thread. Either way the result is routines::ReadRoutines(bytes).
#pragma once
#include <string>

#include "routines/routines_file.h"

namespace app {

routines::RoutinesFile ReadRoutinesInTwo(const std::string& bytes);

}  // namespace app
