// The run log: entries that no text can forge, entries that always start a
// line of their own, and trimming that drops whole oldest entries, keeps
// the newest one (shortened when it alone is too long) and keeps the log
// bounded at any size.
#include "unattended/run_log.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/encoding.h"

namespace unattended {
namespace {

// A whole log as trimming leaves it: as it is within `limit`, otherwise
// the TrimmedTail of all of it.
std::string TrimmedLog(const std::string& log, size_t limit) {
  return log.size() <= limit ? log : TrimmedTail(log, true, limit);
}

// The log's lines, each without its CR LF; a last line without one is
// marked.
std::vector<std::string> Lines(const std::string& log) {
  std::vector<std::string> lines;
  size_t from = 0;
  while (from < log.size()) {
    const size_t end = log.find("\r\n", from);
    if (end == std::string::npos) {
      lines.push_back(log.substr(from) + "<no line break>");
      break;
    }
    lines.push_back(log.substr(from, end - from));
    from = end + 2;
  }
  return lines;
}

bool IsHeadline(const std::string& line) { return !line.empty() && line[0] != ' '; }

// Whether the text is a run of whole entries: CR LF after every line, no
// other line break of any kind, a headline first and every other line an
// entry's line (two blanks first).
::testing::AssertionResult WholeEntries(const std::string& log) {
  const std::vector<std::string> lines = Lines(log);
  if (lines.empty()) return ::testing::AssertionFailure() << "no lines";
  if (!IsHeadline(lines[0])) return ::testing::AssertionFailure() << "starts with \"" << lines[0] << "\"";
  for (const std::string& line : lines) {
    if (line.find("<no line break>") != std::string::npos)
      return ::testing::AssertionFailure() << "last line unended: " << line;
    if (!IsHeadline(line) && line.rfind("  ", 0) != 0)
      return ::testing::AssertionFailure() << "neither headline nor entry line: \"" << line << "\"";
    for (size_t i = 0; i < line.size(); ++i) {
      const unsigned char c = static_cast<unsigned char>(line[i]);
      if (c < 0x20 || c == 0x7f)
        return ::testing::AssertionFailure() << "control character " << int{c} << " in \"" << line << "\"";
      // C1 controls (C2 80..9F) and U+2028/U+2029 (E2 80 A8/A9) in UTF-8.
      const unsigned char d = i + 1 < line.size() ? static_cast<unsigned char>(line[i + 1]) : 0;
      const unsigned char e = i + 2 < line.size() ? static_cast<unsigned char>(line[i + 2]) : 0;
      if ((c == 0xc2 && d >= 0x80 && d <= 0x9f) || (c == 0xe2 && d == 0x80 && (e == 0xa8 || e == 0xa9)))
        return ::testing::AssertionFailure() << "line break character in \"" << line << "\"";
    }
  }
  return ::testing::AssertionSuccess();
}

std::string Entry(const std::string& headline, int lines, size_t width = 20) {
  std::string entry = "2026-12-08 03:00:00  " + headline + "\r\n";
  for (int i = 0; i < lines; ++i) {
    const std::string number = std::to_string(i);
    entry += "  Stayed: " + number + std::string(width > number.size() ? width - number.size() : 0, 'x') + "\r\n";
  }
  return entry;
}

TEST(RunLog, EntryLinesCannotBeForged) {
  EXPECT_EQ(LogEntry(L"2026-12-08 03:00:00", L"End: C:\\l.txt", {L"Removed 2 files.", L"Rule C:\\x\\: 1 stayed."}),
            L"2026-12-08 03:00:00  End: C:\\l.txt\r\n  Removed 2 files.\r\n  Rule C:\\x\\: 1 stayed.\r\n");
  // A path with a line break in it stays on its line.
  EXPECT_EQ(LogEntry(L"t", L"Start: C:\\a\r\n2026-01-01 Done", {}), L"t  Start: C:\\a  2026-01-01 Done\r\n");
  // Every detail is exactly one line, whatever it holds: a line break of
  // any kind, tab, escape, delete, a C1 control or a Unicode line or
  // paragraph separator shows as a blank.
  const std::wstring breakers[] = {L"\n",   L"\r",   L"\r\n", L"\t",   L"\x1b",   L"\x7f",   L"\x85", L"\x9b",
                                   L"\x0b", L"\x0c", L"\x1c", L"\x1e", L"\x2028", L"\x2029", L"\x80", L"\x9f"};
  for (const std::wstring& breaker : breakers) {
    const std::wstring path = L"C:\\a" + breaker + L"2026-01-01 00:00:00  Start: C:\\forged" + breaker + L"  Stayed: x";
    const std::wstring blank(breaker.size(), L' ');
    const std::wstring shown = L"C:\\a" + blank + L"2026-01-01 00:00:00  Start: C:\\forged" + blank + L"  Stayed: x";
    const std::wstring entry = LogEntry(L"s" + breaker, L"End: " + path, {L"Stayed: " + path, path, breaker, L""});
    EXPECT_EQ(entry, L"s" + blank + L"  End: " + shown + L"\r\n  Stayed: " + shown + L"\r\n  " + shown + L"\r\n  " +
                         blank + L"\r\n  \r\n")
        << "breaker " << static_cast<int>(breaker[0]);
    const std::string bytes = base::enc::ToUtf8(entry);
    EXPECT_TRUE(WholeEntries(bytes));
    EXPECT_EQ(Lines(bytes).size(), 5u);
  }
  // Characters next to those stay as they are.
  EXPECT_EQ(LogEntry(L"t", L"\x20\xa0\x2027\x202a\xe9", {}), L"t   \xa0\x2027\x202a\xe9\r\n");
}

TEST(RunLog, AnEntryAlwaysStartsALineOfItsOwn) {
  const std::string entry = Entry("Start: C:\\l.txt", 1);
  EXPECT_EQ(BytesToAppend(entry, 0, '\0'), entry);
  EXPECT_EQ(BytesToAppend(entry, 10, '\n'), entry);
  for (char last : {'x', '\r', ' ', '\0', '\x85'}) EXPECT_EQ(BytesToAppend(entry, 10, last), "\r\n" + entry);
  // A log whose last line has no line break, with an entry added.
  const std::string log = Entry("Start: C:\\l.txt", 2) + "2026-12-08 03:00:01  half a line";
  const std::string added = log + BytesToAppend(entry, log.size(), log.back());
  EXPECT_TRUE(WholeEntries(added));
  EXPECT_EQ(added.substr(added.size() - entry.size() - 2), "\r\n" + entry);
  // One entry longer than a log keeps is shortened on its way in.
  const std::string huge = Entry("End: C:\\l.txt", 1000);
  const std::string appended = BytesToAppend(huge, 5, 'x', 2000);
  EXPECT_EQ(appended.rfind("\r\n2026-12-08 03:00:00  End: C:\\l.txt\r\n  Stayed: 0", 0), 0u);
  EXPECT_LE(appended.size(), 2u + KeptLogSize(2000));
  EXPECT_TRUE(WholeEntries(appended.substr(2)));
}

TEST(RunLog, OneEntryTooLongIsShortenedNotLost) {
  const std::string entry = Entry("End: C:\\l.txt", 1000);
  EXPECT_EQ(ShortenedEntry(entry, entry.size()), entry);
  for (size_t most : {70u, 100u, 333u, 750u, 5000u}) {
    const std::string cut = ShortenedEntry(entry, most);
    EXPECT_LE(cut.size(), most);
    EXPECT_TRUE(WholeEntries(cut)) << cut;
    const std::vector<std::string> lines = Lines(cut);
    // The headline first, then the first lines under it, then the count.
    EXPECT_EQ(lines.front(), "2026-12-08 03:00:00  End: C:\\l.txt");
    const size_t kept = lines.size() - 2;
    const size_t above = cut.size() - lines.back().size() - 2;
    EXPECT_EQ(cut.substr(0, above), entry.substr(0, above));
    EXPECT_EQ(lines.back(), "  ... " + std::to_string(1000 - kept) + " more lines left out.");
  }
  // One line left out says so in the singular.
  const std::string two = Entry("End", 2);
  EXPECT_EQ(ShortenedEntry(two, two.size() - 1), Entry("End", 1) + "  ... 1 more line left out.\r\n");
  // A headline longer than all that is cut, never inside a character.
  std::string headline = "2026-12-08 03:00:00  End: C:\\";
  for (int i = 0; i < 300; ++i) headline += "\xc3\xa9\xe2\x82\xac";  // "é€"
  const std::string long_entry = headline + "\r\n  Removed 1 file.\r\n";
  for (size_t most = 60; most < 120; ++most) {
    const std::string cut = ShortenedEntry(long_entry, most);
    EXPECT_LE(cut.size(), most);
    EXPECT_TRUE(WholeEntries(cut));
    const std::vector<std::string> lines = Lines(cut);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], "  ... 1 more line left out.");
    ASSERT_GE(lines[0].size(), 3u);
    EXPECT_EQ(lines[0].substr(lines[0].size() - 3), "...");
    const std::string kept = lines[0].substr(0, lines[0].size() - 3);
    EXPECT_EQ(headline.rfind(kept, 0), 0u);
    EXPECT_EQ(base::enc::ToUtf8(base::enc::FromUtf8(kept)), kept) << "cut inside a character";
  }
  EXPECT_EQ(ShortenedEntry(std::string(5000, 'z'), 100), std::string(95, 'z') + "...\r\n");
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
  EXPECT_TRUE(WholeEntries(grown));
}

TEST(RunLog, TrimmingNeverStartsInsideAnEntry) {
  // Entries of many sizes; the limits move the earliest byte kept over
  // every byte of the log: inside a headline, inside an entry's line, on a
  // line break, at an entry's first byte. Trimming keeps multiples of three
  // bytes, so three logs whose newest entries differ by a byte. The limits
  // start where the newest headline, with a count line, still fits whole.
  for (const char* suffix : {"", "a", "ab"}) {
    std::string log;
    std::vector<size_t> starts;
    for (int i = 0; i < 40; ++i) {
      starts.push_back(log.size());
      log += Entry("Start " + std::to_string(i) + (i == 39 ? suffix : ""), i % 5, 3 + i % 7);
    }
    const std::string newest = log.substr(starts.back());
    for (size_t limit = 96; limit < log.size() + 8; ++limit) {
      const std::string trimmed = TrimmedLog(log, limit);
      if (log.size() <= limit) {
        EXPECT_EQ(trimmed, log);
        continue;
      }
      EXPECT_LE(trimmed.size(), KeptLogSize(limit)) << limit;
      EXPECT_TRUE(WholeEntries(trimmed)) << limit;
      if (newest.size() <= KeptLogSize(limit)) {
        // The oldest entry that fits, and all after it, unchanged.
        const size_t from = log.size() - trimmed.size();
        EXPECT_EQ(log.substr(from), trimmed);
        size_t oldest = 0;
        for (size_t start : starts)
          if (start >= log.size() - KeptLogSize(limit)) {
            oldest = start;
            break;
          }
        EXPECT_EQ(from, oldest) << limit;
      } else {
        // The newest entry alone, shortened: its headline and a count.
        EXPECT_EQ(trimmed.rfind("2026-12-08 03:00:00  Start 39", 0), 0u) << limit;
        EXPECT_NE(trimmed.find("more line"), std::string::npos) << limit;
      }
    }
  }
}

TEST(RunLog, OneHugeEntryIsShortenedNeverEmptied) {
  // A log of one entry longer than it keeps.
  const std::string huge = Entry("End: C:\\l.txt", 1000);
  const std::string cut = TrimmedLog(huge, 1000);
  EXPECT_LE(cut.size(), 750u);
  EXPECT_TRUE(WholeEntries(cut));
  EXPECT_EQ(cut.rfind("2026-12-08 03:00:00  End: C:\\l.txt\r\n  Stayed: 0", 0), 0u);
  EXPECT_NE(cut.find("more lines left out.\r\n"), std::string::npos);
  // Older entries before it go; the newest stays, shortened.
  const std::string log = Entry("Start", 2) + Entry("Start", 2) + huge;
  EXPECT_EQ(TrimmedLog(log, 1000), cut);
  // One endless headline is a log too: cut, never emptied.
  const std::string z = TrimmedLog(std::string(5000, 'z'), 1000);
  EXPECT_EQ(z, std::string(745, 'z') + "...\r\n");
}

TEST(RunLog, ALogOfAnySizeIsTrimmedFromItsTail) {
  // A log far past the limit (once it was left untrimmed above 64 times
  // the limit) is trimmed from the last bytes trimming reads.
  const size_t limit = 1000;
  std::string log;
  for (int i = 0; log.size() < 200 * limit; ++i) log += Entry("Start " + std::to_string(i), i % 4);
  const size_t length = TrimmedTailLength(log.size(), limit);
  EXPECT_EQ(length, KeptLogSize(limit) + 1);
  const std::string kept = TrimmedTail(log.substr(log.size() - length), false, limit);
  EXPECT_EQ(kept, TrimmedLog(log, limit));
  EXPECT_LE(kept.size(), KeptLogSize(limit));
  EXPECT_GT(kept.size(), 0u);
  EXPECT_TRUE(WholeEntries(kept));
  EXPECT_EQ(log.substr(log.size() - kept.size()), kept);
  // A log within the limit is not read at all.
  EXPECT_EQ(TrimmedTailLength(limit, limit), 0u);
  EXPECT_EQ(TrimmedTailLength(0, limit), 0u);
  EXPECT_EQ(TrimmedTailLength(uint64_t{3} << 30, kRunLogLimit), KeptLogSize(kRunLogLimit) + 1);
  // A tail with no entry's first line keeps its whole lines.
  EXPECT_EQ(TrimmedTail("xx\r\n  a\r\n  b\r\n", false, 16), "  a\r\n  b\r\n");
}

TEST(RunLog, AppendingAndTrimmingAsTheLogDoesKeepsEveryNewestEntry) {
  // Entries of all sizes added as AppendToRunLog adds them, to a log that
  // starts with a last line that has no line break.
  const size_t limit = 2000;
  std::string log = "old text without a line break";
  for (int i = 0; i < 400; ++i) {
    const std::string entry = Entry("End " + std::to_string(i), (i * 37) % 120, 5 + i % 11);
    log += BytesToAppend(entry, log.size(), log.empty() ? '\n' : log.back(), limit);
    const size_t length = TrimmedTailLength(log.size(), limit);
    if (length) log = TrimmedTail(log.substr(log.size() - length), length == log.size(), limit);
    EXPECT_LE(log.size(), limit);
    EXPECT_TRUE(WholeEntries(log)) << i;
    // The newest entry is the log's end: whole, or shortened.
    const std::string newest = ShortenedEntry(entry, KeptLogSize(limit));
    ASSERT_GE(log.size(), newest.size());
    EXPECT_EQ(log.substr(log.size() - newest.size()), newest) << i;
  }
}

}  // namespace
}  // namespace unattended
