// The run log's entries, their appending and their trimming.
#include "unattended/run_log.h"

#include <algorithm>

namespace unattended {
namespace {

// Whatever could end or start a line, for any program that shows the log:
// the C0 controls, DEL, the C1 controls and the line and paragraph
// separators.
bool BreaksLines(wchar_t c) { return c < 0x20 || (c >= 0x7f && c <= 0x9f) || c == 0x2028 || c == 0x2029; }

std::wstring OneLine(const std::wstring& text) {
  std::wstring line = text;
  for (wchar_t& c : line)
    if (BreaksLines(c)) c = L' ';
  return line;
}

// Whether a line starting with this byte is an entry's first line.
bool StartsEntry(char c) { return c != ' ' && c != '\r' && c != '\n'; }

std::string CountLine(size_t leftOut) {
  return "  ... " + std::to_string(leftOut) + (leftOut == 1 ? " more line left out.\r\n" : " more lines left out.\r\n");
}

// The text's first `most` bytes at the most, ending before a character
// rather than inside one.
std::string CutAtCharacter(const std::string& text, size_t most) {
  if (text.size() <= most) return text;
  size_t end = most;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xc0) == 0x80) --end;
  return text.substr(0, end);
}

// The line of `text` that starts at `from`, without its line break; `next`
// is where the line after it starts.
std::string LineAt(const std::string& text, size_t from, size_t& next) {
  const size_t end = text.find('\n', from);
  next = end == std::string::npos ? text.size() : end + 1;
  size_t stop = end == std::string::npos ? text.size() : end;
  if (stop > from && text[stop - 1] == '\r') --stop;
  return text.substr(from, stop - from);
}

}  // namespace

std::wstring LogEntry(const std::wstring& stamp, const std::wstring& headline,
                      const std::vector<std::wstring>& details) {
  std::wstring entry = OneLine(stamp) + L"  " + OneLine(headline) + L"\r\n";
  for (const std::wstring& detail : details) entry += L"  " + OneLine(detail) + L"\r\n";
  return entry;
}

std::string ShortenedEntry(const std::string& entry, size_t most) {
  if (entry.size() <= most) return entry;
  size_t lines = 0;
  for (size_t at = 0; at < entry.size(); ++lines) {
    const size_t end = entry.find('\n', at);
    at = end == std::string::npos ? entry.size() : end + 1;
  }
  // Room is kept for the longest count line it could take.
  const size_t countRoom = lines > 1 ? CountLine(lines - 1).size() : 0;
  size_t next = 0;
  const std::string headline = LineAt(entry, 0, next);
  std::string kept;
  if (headline.size() + 2 + countRoom <= most) {
    kept = headline + "\r\n";
  } else {
    const size_t room = most > countRoom + 5 ? most - countRoom - 5 : 0;
    kept = CutAtCharacter(headline, room) + "...\r\n";
  }
  size_t keptLines = 1;
  while (next < entry.size()) {
    size_t after = 0;
    const std::string line = LineAt(entry, next, after);
    if (kept.size() + line.size() + 2 + countRoom > most) break;
    kept += line + "\r\n";
    next = after;
    ++keptLines;
  }
  if (keptLines < lines) kept += CountLine(lines - keptLines);
  return kept;
}

std::string BytesToAppend(const std::string& entry, uint64_t logSize, char lastByte, size_t limit) {
  const std::string lineBreak = logSize != 0 && lastByte != '\n' ? "\r\n" : "";
  return lineBreak + ShortenedEntry(entry, KeptLogSize(limit));
}

size_t TrimmedTailLength(uint64_t size, size_t limit) {
  if (size <= limit) return 0;
  const uint64_t length = std::min<uint64_t>(size, KeptLogSize(limit) + uint64_t{1});
  return static_cast<size_t>(length);
}

std::string TrimmedTail(const std::string& tail, bool wholeLog, size_t limit) {
  const size_t keep = KeptLogSize(limit);
  const size_t earliest = tail.size() > keep ? tail.size() - keep : 0;
  auto lineStart = [&](size_t at) { return at == 0 ? wholeLog : tail[at - 1] == '\n'; };
  auto entryStart = [&](size_t at) { return lineStart(at) && StartsEntry(tail[at]); };
  // The oldest entry that fits, and all after it.
  for (size_t at = earliest; at < tail.size(); ++at)
    if (entryStart(at)) return tail.substr(at);
  // Not even the newest entry fits: it is kept shortened.
  for (size_t at = earliest; at-- > 0;)
    if (entryStart(at)) return ShortenedEntry(tail.substr(at), keep);
  // No entry starts here at all: the whole lines that fit.
  for (size_t at = earliest; at < tail.size(); ++at)
    if (lineStart(at)) return tail.substr(at);
  return std::string();
}

}  // namespace unattended
