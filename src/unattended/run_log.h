// The run log's text: entries of a time stamp and a headline with indented
// lines under it (no text put in an entry can start a line of its own), and
// the trimming that drops the oldest whole entries.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace unattended {

// The log keeps about this much: once it is longer, its oldest entries go
// until it is at most three quarters of it.
constexpr size_t kRunLogLimit = 1024 * 1024;
// What trimming keeps at most, and so the most one entry may take.
constexpr size_t KeptLogSize(size_t limit) { return limit / 4 * 3; }

// "<stamp>  <headline>" and under it each detail on a line of its own,
// indented by two blanks; CR LF after each line. Every control character
// (line breaks, tab, escape, delete, the C1 controls 0x80-0x9f) and the
// Unicode line and paragraph separators show as blanks, in the stamp and
// the headline too: one detail is always exactly one line, and no text can
// forge a line. A caller with several lines to log passes each as a detail.
std::wstring LogEntry(const std::wstring& stamp, const std::wstring& headline,
                      const std::vector<std::wstring>& details = {});

// An entry (LogEntry's text in UTF-8) in at most `most` bytes: as it is when
// it fits; otherwise its headline and as many of its first lines under it
// as fit, then "  ... N more lines left out." (a headline too long even for
// that is cut, at a character, and ends in "..."). `most` is taken to be at
// least a few dozen bytes.
std::string ShortenedEntry(const std::string& entry, size_t most);

// What goes at the end of a log of `logSize` bytes whose last byte is
// `lastByte` (unused when the log is empty) to add `entry` (UTF-8): CR LF
// first when the log's last line has no line break, so that the entry
// starts a line of its own, then the entry, shortened to what a log of
// `limit` keeps.
std::string BytesToAppend(const std::string& entry, uint64_t logSize, char lastByte, size_t limit = kRunLogLimit);

// How many of its last bytes trimming reads of a log of `size` bytes: none
// when the log is within `limit` (it stays as it is); otherwise the most it
// keeps and the byte before them, which tells whether they start a line.
size_t TrimmedTailLength(uint64_t size, size_t limit = kRunLogLimit);

// What is left of a log past its limit: `tail` holds its last
// TrimmedTailLength bytes, or the whole log when `wholeLog`. The result is
// at most KeptLogSize(limit) bytes and starts at an entry's first line: the
// oldest entry that fits, so that all entries after it are kept whole. When
// not even the newest entry fits, it is kept shortened (ShortenedEntry);
// only a tail holding no entry's first line at all keeps its whole lines,
// or nothing.
std::string TrimmedTail(const std::string& tail, bool wholeLog, size_t limit = kRunLogLimit);

}  // namespace unattended
