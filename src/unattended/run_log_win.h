// The run log on disk: a UTF-8 text file under %LOCALAPPDATA%\Ombrelay that
// every unattended run appends to. One writer at a time, across programs;
// the log is trimmed to its limit as it grows.
#pragma once
#include <string>

namespace unattended {

// %LOCALAPPDATA%\Ombrelay\run log.txt; empty when the folder is unknown.
std::wstring RunLogPath();
// Appends one entry (LogEntry's text) on a line of its own, shortened when
// it alone is longer than the log keeps; a log past its limit is then
// trimmed, reading only the part it keeps (TrimmedTail). False when the
// entry could not be written.
bool AppendToRunLog(const std::wstring& entry);
// "2026-12-08 23:59:30", local time.
std::wstring LogStamp();

}  // namespace unattended
