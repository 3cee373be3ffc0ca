// Every test program hands the error trap the program's statement table
// before its tests run, as the program does at start-up.
#include <gtest/gtest.h>

#include "app/statement_table.h"

namespace {

class ProgramStatements : public ::testing::Environment {
 public:
  void SetUp() override { app::UseStatementTable(); }
};

::testing::Environment* const kProgramStatements = ::testing::AddGlobalTestEnvironment(new ProgramStatements);

}  // namespace
