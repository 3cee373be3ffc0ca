// The error trap's table of the program's guarded statements, generated
// from the sources by cmake/statements.cmake: the program hands it to the
// trap at start-up, and so do the tests that check real statements.
#pragma once

namespace app {

void UseStatementTable();

}  // namespace app
