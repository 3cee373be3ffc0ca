// Error trap: report text, silenced list and the statement table handed in.
#include "base/error_trap.h"

#include <cstring>
#include <exception>
#include <mutex>
#include <new>
#include <stdexcept>
#include <system_error>

#include "base/encoding.h"

namespace base::trap {
namespace {

// The program's statements, handed in at start-up; statement n is entry n - 1.
const Statement* g_statements = nullptr;
int g_count = 0;

std::vector<std::wstring>* g_table = nullptr;
std::vector<int16_t>* g_silenced = nullptr;
bool g_firstReportDone = false;

Answer DefaultPresenter(const std::wstring&, const std::wstring&) { return Answer::Yes; }
Presenter g_presenter = DefaultPresenter;

// True when path names the same file as the table's relative path.
bool SameFile(const char* path, const char* rel) {
  size_t pn = std::strlen(path), rn = std::strlen(rel);
  if (rn == 0 || pn < rn) return false;
  for (size_t i = 0; i < rn; ++i) {
    char a = path[pn - rn + i], b = rel[i];
    if (a == '\\') a = '/';
    if (a != b) return false;
  }
  return pn == rn || path[pn - rn - 1] == '/' || path[pn - rn - 1] == '\\';
}

std::wstring Widen(const char* text) { return enc::FromUtf8(text); }

}  // namespace

Site& CurrentSite() noexcept {
  static thread_local Site site;
  return site;
}

void SetStatementTable(const Statement* table, size_t count) {
  g_statements = table;
  g_count = table ? static_cast<int>(count) : 0;
  delete g_table;  // made again from the new table when asked
  g_table = nullptr;
}

void Raise(long number, const std::wstring& description) { throw Failure{number, description}; }

int StatementNumber(const Site& site) {
  if (!site.file) return 0;
  for (int n = 1; n <= g_count; ++n) {
    const Statement& s = g_statements[n - 1];
    if (s.line == site.line && SameFile(site.file, s.file)) return n;
  }
  return 0;
}

int HighestStatement() { return g_count; }

const std::vector<std::wstring>& StatementTable() {
  if (!g_table) {
    g_table = new std::vector<std::wstring>();
    g_table->reserve(static_cast<size_t>(g_count) + 1);
    g_table->emplace_back();  // number 0: no statement
    for (int n = 1; n <= g_count; ++n) g_table->push_back(Widen(g_statements[n - 1].text));
  }
  return *g_table;
}

bool StatementTableBuilt() { return g_table != nullptr; }

Presenter SetPresenter(Presenter presenter) {
  Presenter old = std::move(g_presenter);
  g_presenter = presenter ? std::move(presenter) : Presenter(DefaultPresenter);
  return old;
}

std::wstring FormatReport(int16_t number, const std::wstring& description, int16_t line, const std::wstring& code) {
  std::wstring text;
  text += L"Error Number: " + std::to_wstring(number) + L".\r\n";
  text += L"Error Description: " + description + L".\r\n";
  text += L"Error Line: " + std::to_wstring(line) + L".\r\n";
  text += L"Error Code: " + code + L"\r\n";
  text += L"Do you wish to pause on this error again?";
  return text;
}

std::vector<std::wstring> ReportLines(const std::wstring& report) {
  // The description, second of the lines, is the only one that may hold a
  // line break (it can quote a path); the statement's text holds none.
  const size_t description = report.find(L"\r\nError Description: ");
  const size_t line = report.rfind(L"\r\nError Line: ");
  const size_t code = line == std::wstring::npos ? line : report.find(L"\r\nError Code: ", line);
  if (description == std::wstring::npos || code == std::wstring::npos || line <= description) return {report};
  const size_t question = report.find(L"\r\n", code + 2);
  return {report.substr(0, description), report.substr(description + 2, line - description - 2),
          report.substr(line + 2, code - line - 2),
          report.substr(code + 2, question == std::wstring::npos ? question : question - code - 2)};
}

// Reports come from the window's thread and from workers: the silenced
// list and the table are read and changed under this lock, which is never
// held while a report is shown (a box waits for the user, and another
// thread's report must not wait for that box to be answered).
namespace {
std::mutex& ReportLock() {
  static std::mutex* lock = new std::mutex;  // never destroyed: a worker may report at the end
  return *lock;
}
}  // namespace

void ReportError(int16_t number, const std::wstring& description, int16_t line) {
  std::wstring code;
  Presenter presenter;
  {
    std::lock_guard<std::mutex> hold(ReportLock());
    if (!g_firstReportDone) {
      g_silenced = new std::vector<int16_t>{0};
      StatementTable();
      g_firstReportDone = true;
    }
    for (int16_t silenced : *g_silenced) {
      if (silenced == line) return;
    }
    const std::vector<std::wstring>& table = StatementTable();
    if (line >= 0 && line < static_cast<int>(table.size())) code = table[line];
    presenter = g_presenter;
  }
  const Answer answer = presenter(FormatReport(number, description, line, code), L"Error");
  if (answer != Answer::No) return;
  std::lock_guard<std::mutex> hold(ReportLock());
  g_silenced->push_back(line);
}

const std::vector<int16_t>& SilencedList() {
  static const std::vector<int16_t> kEmpty;
  return g_silenced ? *g_silenced : kEmpty;
}

void ResetForTests() {
  delete g_table;
  g_table = nullptr;
  delete g_silenced;
  g_silenced = nullptr;
  g_firstReportDone = false;
}

Carried CarryCurrent() noexcept { return {std::current_exception(), CurrentSite()}; }

// A failure carried from code that marks no statement is reported at the
// statement that throws it again.
void Rethrow(const Carried& carried) {
  if (carried.site.file) CurrentSite() = carried.site;
  std::rethrow_exception(carried.error);
}

void ReportCurrentException() noexcept {
  long number = 0;
  std::wstring description;
  try {
    throw;
  } catch (const Failure& f) {
    number = f.number;
    description = f.description;
  } catch (const std::bad_alloc&) {
    number = 7;
    description = L"Out of memory";
  } catch (const std::out_of_range& e) {
    number = 9;
    description = L"Subscript out of range (" + enc::FromUtf8(e.what()) + L")";
  } catch (const std::overflow_error& e) {
    number = 6;
    description = L"Overflow (" + enc::FromUtf8(e.what()) + L")";
  } catch (const std::system_error& e) {
    number = e.code().value();
    description = enc::FromUtf8(e.what());
  } catch (const std::exception& e) {
    number = 51;
    description = L"Internal error (" + enc::FromUtf8(e.what()) + L")";
  } catch (...) {
    number = 51;
    description = L"Internal error";
  }
  try {
    // Numbers outside 16 bits (component codes) keep their low word; the
    // description carries the whole value.
    ReportError(static_cast<int16_t>(number & 0xFFFF), description,
                static_cast<int16_t>(StatementNumber(CurrentSite())));
  } catch (...) {
  }
}

}  // namespace base::trap
