// The run log: entries that no text can forge, and trimming that drops
// whole oldest entries and keeps the log bounded.
#include "unattended/run_log.h"

#include <gtest/gtest.h>

#include <string>

namespace unattended {
namespace {

TEST(RunLog, EntryLinesCannotBeForged) {
  EXPECT_EQ(LogEntry(L"2026-12-08 03:00:00", L"End: C:\\l.txt", {L"Removed 2 files.\nRule C:\\x\\: 1 stayed.", L""}),
            L"2026-12-08 03:00:00  End: C:\\l.txt\r\n  Removed 2 files.\r\n  Rule C:\\x\\: 1 stayed.\r\n");
  // A path with a line break in it stays on its line.
  EXPECT_EQ(LogEntry(L"t", L"Start: C:\\a\r\n2026-01-01 Done", {}), L"t  Start: C:\\a  2026-01-01 Done\r\n");
}

TEST(RunLog, TrimmingKeepsWholeNewestEntriesWithinTheLimit) {
  std::string log;
  for (int i = 0; i < 2000; ++i)
    log += "2026-12-08 03:00:00  Start " + std::to_string(i) + "\r\n  Removed " + std::string(40, 'x') + "\r\n";
  EXPECT_EQ(TrimmedLog(log, log.size()), log);
  const size_t limit = 10000;
  const std::string trimmed = TrimmedLog(log, limit);
  EXPECT_LE(trimmed.size(), limit / 4 * 3);
  EXPECT_GT(trimmed.size(), limit / 2);
  EXPECT_EQ(trimmed.rfind("2026-12-08", 0), 0u);
  EXPECT_EQ(log.substr(log.size() - trimmed.size()), trimmed);  // the newest part, unchanged
  // Trimmed again as it grows, it stays bounded.
  std::string grown = trimmed;
  for (int i = 0; i < 500; ++i) grown = TrimmedLog(grown + "2026-12-09 x\r\n  y\r\n", limit);
  EXPECT_LE(grown.size(), limit);
  // One entry longer than what is kept is cut at a line; one line longer
  // than that leaves nothing rather than half a line.
  std::string huge = "2026-12-08  Long\r\n";
  for (int i = 0; i < 1000; ++i) huge += "  line " + std::to_string(i) + "\r\n";
  const std::string cut = TrimmedLog(huge, 1000);
  EXPECT_LE(cut.size(), 750u);
  EXPECT_EQ(cut.rfind("  line ", 0), 0u);
  EXPECT_EQ(TrimmedLog(std::string(5000, 'z'), 1000), "");
}

}  // namespace
}  // namespace unattended
