// The run log's entries and their trimming.
#include "unattended/run_log.h"

namespace unattended {
namespace {

// Line breaks and other control characters become blanks.
std::wstring OneLine(const std::wstring& text) {
  std::wstring line = text;
  for (wchar_t& c : line)
    if (c < 0x20 || c == 0x7f) c = L' ';
  return line;
}

bool StartsEntry(const std::string& log, size_t at) {
  return (at == 0 || log[at - 1] == '\n') && at < log.size() && log[at] != ' ' && log[at] != '\r' &&
         log[at] != '\n';
}

}  // namespace

std::wstring LogEntry(const std::wstring& stamp, const std::wstring& headline,
                      const std::vector<std::wstring>& details) {
  std::wstring entry = OneLine(stamp) + L"  " + OneLine(headline) + L"\r\n";
  for (const std::wstring& detail : details) {
    size_t from = 0;
    for (;;) {
      const size_t end = detail.find(L'\n', from);
      std::wstring line = detail.substr(from, end == std::wstring::npos ? std::wstring::npos : end - from);
      if (!line.empty() && line.back() == L'\r') line.pop_back();
      if (!line.empty()) entry += L"  " + OneLine(line) + L"\r\n";
      if (end == std::wstring::npos) break;
      from = end + 1;
    }
  }
  return entry;
}

std::string TrimmedLog(const std::string& log, size_t limit) {
  if (log.size() <= limit) return log;
  const size_t keep = limit / 4 * 3;
  const size_t earliest = log.size() - keep;
  size_t lineStart = std::string::npos;
  for (size_t at = earliest; at < log.size(); ++at) {
    if (at != 0 && log[at - 1] != '\n') continue;
    if (StartsEntry(log, at)) return log.substr(at);
    if (lineStart == std::string::npos) lineStart = at;
  }
  return lineStart == std::string::npos ? std::string() : log.substr(lineStart);
}

}  // namespace unattended
