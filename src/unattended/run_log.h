// The run log's text: entries of a time stamp and a headline with indented
// lines under it, and the trimming that keeps the log near its limit by
// dropping its oldest whole entries.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace unattended {

// The log keeps about this much: once it is longer, its oldest entries go
// until it is at most three quarters of it.
constexpr size_t kRunLogLimit = 1024 * 1024;

// "<stamp>  <headline>" and under it each line of the details indented by
// two blanks, CR LF after each line. A detail with line breaks gives one
// indented line per line; control characters in any text show as blanks,
// so no text can forge an entry of its own.
std::wstring LogEntry(const std::wstring& stamp, const std::wstring& headline,
                      const std::vector<std::wstring>& details = {});

// The log without its oldest entries once it is longer than `limit`: what
// is left starts at an entry's first line and is at most limit * 3 / 4
// bytes long (a single entry longer than that is cut at a line). A log
// within the limit comes back as it is.
std::string TrimmedLog(const std::string& log, size_t limit);

}  // namespace unattended
