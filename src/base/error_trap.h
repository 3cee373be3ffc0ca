// The error trap: a guarded procedure reports a run-time failure with its
// number, description and the failing statement's number and source text,
// then ends, and its caller carries on; a statement's reports can be
// silenced for the rest of the run. The statement table is generated from
// the markers in the source (cmake/statements.cmake) and handed in at
// start-up; each thread keeps its own statement site.
#pragma once
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace base::trap {

// A failure raised inside a guarded procedure.
struct Failure {
  long number;
  std::wstring description;
};

[[noreturn]] void Raise(long number, const std::wstring& description);

// Where the most recent guarded statement of this thread began.
struct Site {
  const char* file = nullptr;
  int line = 0;
};
// This thread's site.
Site& CurrentSite() noexcept;
inline void Mark(const char* file, int line) noexcept { CurrentSite() = {file, line}; }

// One numbered statement: its source file (relative to the source tree),
// line and text. The table's first entry is statement 1.
struct Statement {
  const char* file;
  int line;
  const char* text;
};
// Hands in the table of the program's statements; it must outlive its use.
// Until then no statement has a number.
void SetStatementTable(const Statement* table, size_t count);

// Statement numbers and texts, from the table handed in.
int StatementNumber(const Site& site);
int HighestStatement();
// The whole table, index 0 empty; built on the first call only.
const std::vector<std::wstring>& StatementTable();
bool StatementTableBuilt();

enum class Answer { Yes, No, Cancel };
// Shows the report and returns the user's answer (a message box on Windows).
using Presenter = std::function<Answer(const std::wstring& text, const std::wstring& title)>;
Presenter SetPresenter(Presenter presenter);

std::wstring FormatReport(int16_t number, const std::wstring& description, int16_t line, const std::wstring& code);
// A report FormatReport made, as the lines a log shows: number,
// description, line and code, without the closing question. The
// description is one line whatever line breaks it holds (a log blanks
// them); a text of another shape comes back whole.
std::vector<std::wstring> ReportLines(const std::wstring& report);
void ReportError(int16_t number, const std::wstring& description, int16_t line);
const std::vector<int16_t>& SilencedList();
// Forgets the silenced list and the texts made of the table (tests only).
void ResetForTests();

// Turns the exception in flight into a report at the current statement.
void ReportCurrentException() noexcept;

// A failure caught where no Guard reports it (a worker that carries it to
// the window's command), kept with the statement it happened at, so that
// the Guard it is thrown again under reports that statement.
struct Carried {
  std::exception_ptr error;
  Site site;
  explicit operator bool() const { return static_cast<bool>(error); }
};
// In a catch block: the exception in flight and this thread's statement.
Carried CarryCurrent() noexcept;
// Throws the carried failure again at its own statement (at the current
// one when it carries none).
[[noreturn]] void Rethrow(const Carried& carried);

// Runs a procedure body under the trap: the statement position starts at 0
// and is restored for the caller afterwards.
template <class Body>
void Guard(Body&& body) noexcept {
  Site& site = CurrentSite();
  const Site saved = site;
  site = Site{};
  try {
    std::forward<Body>(body)();
  } catch (...) {
    ReportCurrentException();
  }
  site = saved;
}

}  // namespace base::trap

// Marks a guarded statement and evaluates it.
#define ST(...) (::base::trap::Mark(__FILE__, __LINE__), (__VA_ARGS__))
// Marks a guarded statement that raises a failure.
#define RAISE(number, description) \
  (::base::trap::Mark(__FILE__, __LINE__), ::base::trap::Raise((number), (description)))
