// Text utilities: pieces and byte handling; whole-file writes and reads.
#include "base/text_utils.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "base/error_trap.h"
#include "base/file_io.h"

namespace {

std::vector<std::wstring> Split(const std::wstring& text, wchar_t sep) {
  std::vector<std::wstring> pieces{L"stale", L"old"};
  base::text::SplitString(text, sep, pieces);
  return pieces;
}

using Pieces = std::vector<std::wstring>;

TEST(SplitString, EmptyPiecesAreKept) {
  EXPECT_EQ(Split(L"", L'*'), Pieces{L""});
  EXPECT_EQ(Split(L"*", L'*'), (Pieces{L"", L""}));
  EXPECT_EQ(Split(L"a*b*", L'*'), (Pieces{L"a", L"b", L""}));
  EXPECT_EQ(Split(L"*a**b", L'*'), (Pieces{L"", L"a", L"", L"b"}));
  EXPECT_EQ(Split(L"no separator", L'*'), Pieces{L"no separator"});
  EXPECT_EQ(Split(L"C:\\a|File*pw*\r\n", L'*'), (Pieces{L"C:\\a|File", L"pw", L"\r\n"}));
  EXPECT_EQ(Split(L"1.1,http://x,must-download", L','), (Pieces{L"1.1", L"http://x", L"must-download"}));
}

TEST(TextBytes, ZeroBytesReadAsBlanksAndLinesEndInCrLf) {
  EXPECT_EQ(base::text::BytesToText(std::string("A\0B", 3)), L"A B");
  EXPECT_EQ(base::text::BytesToText("\xe9\x80\r\n"), L"\u00e9\u20ac\r\n");
}

class FileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // One file per test: ctest runs tests of this suite side by side.
    narrow_ =
        std::string("ombrelay_text_utils_") + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".tmp";
    path_ = std::wstring(narrow_.begin(), narrow_.end());
    base::trap::ResetForTests();
    old_ = base::trap::SetPresenter([this](const std::wstring&, const std::wstring&) {
      ++reports_;
      return base::trap::Answer::Yes;
    });
  }
  void TearDown() override {
    base::trap::SetPresenter(old_);
    std::remove(narrow_.c_str());
  }
  std::string narrow_;
  std::wstring path_;
  int reports_ = 0;
  base::trap::Presenter old_;
};

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The whole file as text, as a reader of text files takes it.
std::wstring LoadText(const std::wstring& path) {
  std::string bytes;
  std::wstring reason;
  EXPECT_TRUE(base::files::ReadAll(path, bytes, reason)) << std::string(reason.begin(), reason.end());
  return base::text::BytesToText(std::move(bytes));
}

// A second write replaces the whole file, a shorter one too.
TEST_F(FileTest, SaveThenLoadRoundTrip) {
  std::wstring reason;
  EXPECT_TRUE(base::files::WriteAll(path_, "x|File*pw*\xe9\r\n", reason));
  EXPECT_EQ(ReadBytes(narrow_), "x|File*pw*\xe9\r\n");
  EXPECT_EQ(LoadText(path_), L"x|File*pw*\u00e9\r\n");
  EXPECT_TRUE(base::files::WriteAll(path_, "\r\n", reason));
  EXPECT_EQ(ReadBytes(narrow_), "\r\n");
  EXPECT_EQ(reports_, 0);
}

TEST_F(FileTest, EmptyAndZeroByteFiles) {
  { std::ofstream(narrow_, std::ios::binary); }
  EXPECT_EQ(LoadText(path_), L"");
  { std::ofstream(narrow_, std::ios::binary).write("A\0B", 3); }
  EXPECT_EQ(LoadText(path_), L"A B");
  EXPECT_EQ(reports_, 0);
}

// A file that cannot be read or written is a value with its reason, never a
// report of the trap: the command that asked tells the user.
TEST_F(FileTest, FailuresComeBackWithTheirReason) {
  std::string bytes = "stale";
  std::wstring reason;
  EXPECT_FALSE(base::files::ReadAll(L"no_such_dir/none.txt", bytes, reason));
  EXPECT_TRUE(bytes.empty());
  EXPECT_FALSE(reason.empty());
  reason.clear();
  EXPECT_FALSE(base::files::WriteAll(L"no_such_dir/none.txt", "x", reason));
  EXPECT_FALSE(reason.empty());
  EXPECT_EQ(reports_, 0);
}

}  // namespace
