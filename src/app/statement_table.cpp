// The generated statement table, compiled on the top floor, which sees
// every floor's sources.
#include "app/statement_table.h"

#include <iterator>

#include "base/error_trap.h"

namespace app {
namespace {

const base::trap::Statement kStatements[] = {
#include "statement_table.inc"
};

}  // namespace

void UseStatementTable() { base::trap::SetStatementTable(kStatements, std::size(kStatements)); }

}  // namespace app
