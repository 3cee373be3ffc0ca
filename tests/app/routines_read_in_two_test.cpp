// Reading a routines file in two halves gives what reading it whole gives:
// the entries, their lines, their problems (line numbers in them too) and
// the file's problem.
#include "app/routines_read_in_two.h"

#include <gtest/gtest.h>

#include "routines_sample.h"

namespace {

void ExpectSame(const std::string& bytes) {
  const routines::RoutinesFile whole = routines::ReadRoutines(bytes);
  const routines::RoutinesFile halves = app::ReadRoutinesInTwo(bytes);
  EXPECT_EQ(halves.problem, whole.problem);
  ASSERT_EQ(halves.entries.size(), whole.entries.size());
  for (size_t i = 0; i < whole.entries.size(); ++i) {
    const routines::Entry &a = halves.entries[i], &b = whole.entries[i];
    ASSERT_EQ(a.routine.name, b.routine.name) << i;
    EXPECT_EQ(a.line, b.line) << i;
    EXPECT_EQ(a.problem, b.problem) << i;
    EXPECT_EQ(a.keys.size(), b.keys.size()) << i;
    EXPECT_EQ(listfile::RoutineRecordText(routines::ListRoutine(a)), listfile::RoutineRecordText(routines::ListRoutine(b)))
        << i;
  }
}

TEST(ReadRoutinesInTwo, GivesWhatTheWholeFileReadsAs) {
  const std::string sample = sample::RoutinesFile();
  ExpectSame(sample);
  // Behind the UTF-8 mark, with an entry late in the file whose problem
  // names its line.
  ExpectSame("\xEF\xBB\xBF" + sample + "[Caf\xC3\xA9 *]\r\nLangSecRef=3021\r\nno key here\r\n");
  // Not plain ASCII and no mark: read whole, as ANSI or UTF-8 alike.
  ExpectSame(sample + "[Caf\xE9 *]\r\nFileKey1=%Temp%\\x|*.tmp\r\n");
  // No entry reads: the file's own problem.
  std::string broken;
  for (int i = 0; i < 8000; ++i) broken += "[E" + std::to_string(i) + " *]\r\nFileKey1=relative\\x|*.*\r\n";
  ExpectSame(broken);
  EXPECT_FALSE(app::ReadRoutinesInTwo(broken).problem.empty());
}

}  // namespace
