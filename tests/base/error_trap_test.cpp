// Error trap: report text, silenced list, statement numbering and the
// guarded-procedure contract.
#include "base/error_trap.h"

#include <gtest/gtest.h>

#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "app/statement_table.h"
#include "base/encoding.h"
#include "base/text_utils.h"

namespace {

struct Shown {
  std::wstring text;
  std::wstring title;
};

class TrapTest : public ::testing::Test {
 protected:
  void SetUp() override {
    base::trap::ResetForTests();
    old_ = base::trap::SetPresenter([this](const std::wstring& text, const std::wstring& title) {
      shown_.push_back({text, title});
      return answer_;
    });
  }
  void TearDown() override {
    base::trap::SetPresenter(old_);
    base::trap::ResetForTests();
    app::UseStatementTable();  // a test may have handed in its own
  }
  std::vector<Shown> shown_;
  base::trap::Answer answer_ = base::trap::Answer::Yes;
  base::trap::Presenter old_;
};

// Reads one line of a source file, without its leading blanks.
std::wstring SourceLine(const char* file, int line) {
  std::ifstream in(file);
  std::string text;
  for (int i = 0; i < line && std::getline(in, text); ++i) {
  }
  size_t start = text.find_first_not_of(" \t");
  if (!text.empty() && text.back() == '\r') text.pop_back();
  return base::enc::FromUtf8(start == std::string::npos ? std::string() : text.substr(start));
}

TEST_F(TrapTest, FiveLineReport) {
  EXPECT_EQ(base::trap::FormatReport(53, L"File not found", 13, L"Data = LoadTextFile(Path)"),
            L"Error Number: 53.\r\nError Description: File not found.\r\nError Line: 13.\r\n"
            L"Error Code: Data = LoadTextFile(Path)\r\nDo you wish to pause on this error again?");
  // A description ending in a full stop gets a second one; negatives keep their sign.
  EXPECT_EQ(base::trap::FormatReport(-1, L"Odd.", -2, L""),
            L"Error Number: -1.\r\nError Description: Odd..\r\nError Line: -2.\r\n"
            L"Error Code: \r\nDo you wish to pause on this error again?");
}

TEST_F(TrapTest, ReportLinesKeepTheDescriptionOnOneLine) {
  EXPECT_EQ(base::trap::ReportLines(base::trap::FormatReport(53, L"File not found", 13, L"Data = Load(Path)")),
            (std::vector<std::wstring>{L"Error Number: 53.", L"Error Description: File not found.", L"Error Line: 13.",
                                       L"Error Code: Data = Load(Path)"}));
  // A description quoting a path with line breaks, even ones that look
  // like the report's own lines, is still one of its lines.
  const std::wstring forged = L"C:\\a\r\nError Line: 1.\r\nError Code: x\r\nb";
  EXPECT_EQ(base::trap::ReportLines(base::trap::FormatReport(5, forged, 7, L"Kill(Path)")),
            (std::vector<std::wstring>{L"Error Number: 5.", L"Error Description: " + forged + L".", L"Error Line: 7.",
                                       L"Error Code: Kill(Path)"}));
  // Another text comes back whole.
  EXPECT_EQ(base::trap::ReportLines(L"odd\r\ntext"), std::vector<std::wstring>{L"odd\r\ntext"});
}

TEST_F(TrapTest, StatementZeroIsNeverShown) {
  base::trap::ReportError(5, L"x", 0);
  EXPECT_TRUE(shown_.empty());
  EXPECT_EQ(base::trap::SilencedList(), std::vector<int16_t>{0});
}

TEST_F(TrapTest, NoSilencesOnlyThatStatement) {
  answer_ = base::trap::Answer::No;
  base::trap::ReportError(5, L"x", 13);
  base::trap::ReportError(5, L"x", 40);
  EXPECT_EQ(base::trap::SilencedList(), (std::vector<int16_t>{0, 13, 40}));
  base::trap::ReportError(5, L"x", 13);
  base::trap::ReportError(5, L"x", 40);
  EXPECT_EQ(shown_.size(), 2u);
  answer_ = base::trap::Answer::Cancel;
  base::trap::ReportError(5, L"x", 41);
  base::trap::ReportError(5, L"x", 41);  // Cancel acts as Yes: still reportable
  EXPECT_EQ(shown_.size(), 4u);
  EXPECT_EQ(shown_.back().title, L"Error");
}

TEST_F(TrapTest, TableBuiltOnFirstReportOnly) {
  EXPECT_FALSE(base::trap::StatementTableBuilt());
  base::trap::ReportError(5, L"x", 0);
  EXPECT_TRUE(base::trap::StatementTableBuilt());
  const auto& table = base::trap::StatementTable();
  ASSERT_EQ(static_cast<int>(table.size()), base::trap::HighestStatement() + 1);
  EXPECT_EQ(table[0], L"");
  for (size_t i = 1; i < table.size(); ++i) EXPECT_FALSE(table[i].empty()) << i;
}

// The line of a source file that holds the given text, 1-based.
int LineHolding(const std::string& file, const std::string& needle) {
  std::ifstream in(file);
  std::string text;
  for (int n = 1; std::getline(in, text); ++n) {
    if (text.find(needle) != std::string::npos) return n;
  }
  return 0;
}

// The first of SplitString's numbered statements, a real one of the program.
const std::string& RealSource() {
  static const std::string source = std::string(OMBRELAY_SOURCE_DIR) + "/src/base/text_utils.cpp";
  return source;
}
int RealLine() { return LineHolding(RealSource(), "ST(pieces.assign(1"); }

// A guarded step that fails at that statement, as a failure there would:
// the Guard reports it, and the caller goes on.
bool FailAtARealStatement(long number, const std::wstring& description) {
  bool after = false;
  base::trap::Guard([&] {
    base::trap::Mark(RealSource().c_str(), RealLine());
    base::trap::Raise(number, description);
    after = true;
  });
  return after;
}

TEST_F(TrapTest, AReportShowsTheNumberAndTextOfItsStatementAndTheCallerGoesOn) {
  EXPECT_FALSE(FailAtARealStatement(53, L"File not found"));
  ASSERT_EQ(shown_.size(), 1u);
  const int line = RealLine();
  ASSERT_GT(line, 0);
  int number = base::trap::StatementNumber({RealSource().c_str(), line});
  ASSERT_GT(number, 0);
  const std::wstring& text = shown_[0].text;
  EXPECT_EQ(text.rfind(L"Error Number: 53.\r\nError Description: File not found.\r\n", 0), 0u)
      << base::enc::ToUtf8(text);
  EXPECT_NE(text.find(L"Error Line: " + std::to_wstring(number) + L".\r\n"), std::wstring::npos);
  EXPECT_NE(text.find(L"Error Code: " + SourceLine(RealSource().c_str(), line) + L"\r\n"), std::wstring::npos)
      << base::enc::ToUtf8(text);
}

// A failure a worker carries to another thread's Guard is reported at the
// worker's statement, not where it is thrown again (no number here).
TEST_F(TrapTest, ACarriedFailureIsReportedAtTheWorkersStatement) {
  base::trap::Carried carried;
  std::thread([&] {
    try {
      base::trap::Mark(RealSource().c_str(), RealLine());
      base::trap::Raise(53, L"File not found");
    } catch (...) {
      carried = base::trap::CarryCurrent();
    }
  }).join();
  ASSERT_TRUE(carried);
  base::trap::Guard([&] {
    base::trap::Mark(__FILE__, __LINE__);
    base::trap::Rethrow(carried);
  });
  ASSERT_EQ(shown_.size(), 1u);
  const int number = base::trap::StatementNumber({RealSource().c_str(), RealLine()});
  EXPECT_NE(shown_[0].text.find(L"Error Line: " + std::to_wstring(number) + L".\r\nError Code: " +
                                SourceLine(RealSource().c_str(), RealLine()) + L"\r\n"),
            std::wstring::npos)
      << base::enc::ToUtf8(shown_[0].text);
}

TEST_F(TrapTest, NumbersAreConsecutiveInSourceOrder) {
  const std::string dir = std::string(OMBRELAY_SOURCE_DIR);
  int first = base::trap::StatementNumber(
      {"src/base/text_utils.cpp", LineHolding(dir + "/src/base/text_utils.cpp", "ST(pieces.assign(1")});
  int second =
      base::trap::StatementNumber({"src/base/text_utils.cpp", LineHolding(dir + "/src/base/text_utils.cpp",
                                                                          "ST(pieces.back().assign(text, start, at")});
  ASSERT_GT(first, 0);
  EXPECT_EQ(second, first + 1);
  EXPECT_EQ(base::trap::StatementNumber({"src/base/text_utils.cpp", 1}), 0);
}

// A table of the test's own, and a worker marking its statements while the
// test's thread is inside a guarded statement: the report names the test's
// thread's statement.
TEST_F(TrapTest, EachThreadReportsItsOwnStatementFromTheTableHandedIn) {
  const base::trap::Statement own[] = {{__FILE__, 1, "ST(on the test's thread)"}, {__FILE__, 2, "ST(on a worker)"}};
  base::trap::SetStatementTable(own, 2);
  EXPECT_EQ(base::trap::HighestStatement(), 2);
  base::trap::Guard([] {
    base::trap::Mark(__FILE__, 1);
    std::thread([] {
      base::trap::Guard([] { base::trap::Mark(__FILE__, 2); });
      base::trap::Mark(__FILE__, 2);
    }).join();
    base::trap::Raise(5, L"x");
  });
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_NE(shown_[0].text.find(L"Error Line: 1.\r\nError Code: ST(on the test's thread)\r\n"), std::wstring::npos)
      << base::enc::ToUtf8(shown_[0].text);
}

TEST_F(TrapTest, NoAnswerSilencesARealStatement) {
  answer_ = base::trap::Answer::No;
  FailAtARealStatement(53, L"File not found");
  FailAtARealStatement(53, L"File not found");
  EXPECT_EQ(shown_.size(), 1u);
  EXPECT_EQ(base::trap::SilencedList().size(), 2u);
}

TEST_F(TrapTest, FailureBeforeAnyStatementIsNotShownAndCallerContinues) {
  bool after = false;
  base::trap::Guard([] { throw std::runtime_error("early"); });
  after = true;
  EXPECT_TRUE(after);
  EXPECT_TRUE(shown_.empty());
}

TEST_F(TrapTest, NestedGuardRestoresTheCallersPosition) {
  base::trap::Guard([&] {
    FailAtARealStatement(53, L"File not found");  // reported inside, at its own statement
    base::trap::Raise(6, L"outer");               // the caller has no numbered statement yet
  });
  EXPECT_EQ(shown_.size(), 1u);
}

}  // namespace
