// HttpClient against the test server (tests/e2e/http_test_server.py), whose
// port arrives in OMBRELAY_HTTP_PORT; e2e.test_startup starts the server and
// runs these tests. Without the variable they are skipped.
#include "services/http_win.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <memory>
#include <mutex>
#include <optional>
#include <sstream>
#include <thread>
#include <tuple>
#include <vector>

#include "base/encoding.h"
#include "base/file_io.h"

namespace services {
namespace {

std::string TextBody(size_t n) {
  std::string s;
  for (size_t i = 0; i < n; ++i) s += static_cast<char>('a' + i % 26);
  return s;
}

std::string BinaryBody(size_t n) {
  std::string s;
  for (size_t i = 0; i < n; ++i) s += static_cast<char>((i * 7 + 3) % 256);
  return s;
}

// The file's bytes; "<unreadable>" when it cannot be read.
std::string FileBytes(const std::wstring& path) {
  std::string bytes;
  std::wstring reason;
  return base::files::ReadAll(path, bytes, reason) ? bytes : "<unreadable>";
}

// Answers the fetcher's "Error" message boxes with OK and keeps their texts.
class BoxAnswerer {
 public:
  BoxAnswerer() : thread_([this] { Run(); }) {}
  ~BoxAnswerer() {
    stop_ = true;
    thread_.join();
  }
  std::vector<std::wstring> Texts() {
    std::lock_guard<std::mutex> lock(mutex_);
    return texts_;
  }

 private:
  void Run() {
    while (!stop_) {
      HWND box = FindWindowW(L"#32770", L"Error");
      if (box && IsWindowVisible(box)) {
        wchar_t text[256] = L"";
        GetDlgItemTextW(box, 0xFFFF, text, 256);
        {
          std::lock_guard<std::mutex> lock(mutex_);
          texts_.push_back(text);
        }
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        Sleep(300);
      }
      Sleep(20);
    }
  }
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<std::wstring> texts_;
  std::thread thread_;
};

class ServicesHttp : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* port = std::getenv("OMBRELAY_HTTP_PORT");
    if (!port || !*port) GTEST_SKIP() << "no test server (OMBRELAY_HTTP_PORT)";
    port_ = base::enc::FromUtf8(port);
    // Made only when a server is there: a skipped test touches no WinINet.
    http_ = std::make_unique<HttpClient>();
    boxes_ = std::make_unique<BoxAnswerer>();
  }
  std::wstring Url(const std::wstring& path) const { return L"http://127.0.0.1:" + port_ + path; }
  // Fetches into a text; returns whether the whole body came.
  bool Fetch(const std::wstring& path, std::wstring& content, const std::wstring& header = L"") {
    const FetchResult got = http_->Fetch(Url(path), L"", header);
    content = got.text;
    return got.ok;
  }

  std::wstring port_;
  std::unique_ptr<HttpClient> http_;
  std::unique_ptr<BoxAnswerer> boxes_;
};

TEST_F(ServicesHttp, RequestLineAndHeadersAsTheServerSawThem) {
  std::wstring content;
  ASSERT_TRUE(Fetch(L"/echo", content, L"X-Ombrelay-Test: yes\r\n"));
  EXPECT_EQ(content.find(L"GET /echo HTTP/1.1\r\n"), 0u) << content;
  EXPECT_NE(content.find(L"User-Agent: http protocol\r\n"), std::wstring::npos) << content;
  EXPECT_NE(content.find(L"Host: 127.0.0.1:" + port_ + L"\r\n"), std::wstring::npos) << content;
  EXPECT_NE(content.find(L"X-Ombrelay-Test: yes\r\n"), std::wstring::npos) << content;
  // Wine gives back the request line with the answer's version (this server's is 1.0).
  EXPECT_EQ(http_->RequestHeaders().find(L"GET /echo HTTP/1."), 0u) << http_->RequestHeaders();
  EXPECT_NE(http_->RequestHeaders().find(L"User-Agent: http protocol"), std::wstring::npos);
  EXPECT_EQ(http_->LastError(), L"");
  EXPECT_EQ(http_->ContentLength(), static_cast<long>(content.size()));
  EXPECT_TRUE(boxes_->Texts().empty());
}

TEST_F(ServicesHttp, ConnectStripsThePrefixAndPassesThePort) {
  const std::optional<std::wstring> sent = http_->Connect(Url(L"/text/10"), L"");
  ASSERT_TRUE(sent);
  EXPECT_EQ(*sent, L"127.0.0.1:" + port_ + L"/text/10");
  EXPECT_EQ(http_->ContentLength(), 10);
  // A second request on the same object replaces the first.
  ASSERT_TRUE(http_->Connect(Url(L"/text/20"), L""));
  EXPECT_EQ(http_->ContentLength(), 20);
  std::wstring content;
  ASSERT_TRUE(Fetch(L"/text/30", content));
  EXPECT_EQ(content.size(), 30u);
}

TEST_F(ServicesHttp, BodiesOfZeroOneChunkAndManyMegabytes) {
  std::wstring content = L"old";
  ASSERT_TRUE(Fetch(L"/text/0", content));
  EXPECT_EQ(content, L"");
  EXPECT_EQ(http_->ContentLength(), 0);
  ASSERT_TRUE(Fetch(L"/text/2048", content));
  EXPECT_EQ(content, base::enc::FromAnsi(TextBody(2048)));
  ASSERT_TRUE(Fetch(L"/text/2049", content));
  EXPECT_EQ(content, base::enc::FromAnsi(TextBody(2049)));
  const size_t big = 6 * 1024 * 1024 + 17;
  ASSERT_TRUE(Fetch(L"/text/" + std::to_wstring(big), content));
  EXPECT_EQ(http_->ContentLength(), static_cast<long>(big));
  ASSERT_EQ(content.size(), big);
  EXPECT_TRUE(content == base::enc::FromAnsi(TextBody(big)));
}

TEST_F(ServicesHttp, ErrorPageIsReadLikeAnyBodyButOneWithoutLengthIsNotWhole) {
  std::wstring content;
  ASSERT_TRUE(Fetch(L"/missing", content));
  EXPECT_EQ(content, L"<html>not found</html>");
  EXPECT_TRUE(boxes_->Texts().empty());
  EXPECT_FALSE(Fetch(L"/nolength", content));
  EXPECT_EQ(content, L"no length here");
  EXPECT_EQ(http_->ContentLength(), 0);
  EXPECT_EQ(boxes_->Texts(), std::vector<std::wstring>{L"Could not retrieve latest version"});
}

TEST_F(ServicesHttp, OnlyAnAnswerOfItsAnnouncedLengthOrWithItsLastChunkIsWhole) {
  http_->SetQuiet(true);
  // Wine reads on past an announced length to the connection's end, and ends
  // a chunked answer cut inside a chunk like a whole one (README.md says so).
  const std::wstring notWhole = L"the answer did not come whole: ";
  for (const auto& c : {std::make_tuple(L"/chunked/2500", 2500, std::wstring()),
                        std::make_tuple(L"/chunkcut/2500", 1248, std::wstring()),
                        std::make_tuple(L"/short/3000", 1500, notWhole + L"1,500 of 3,000 bytes"),
                        std::make_tuple(L"/long/3000", 3000, notWhole + L"3,000 bytes came where 1,500 were announced"),
                        std::make_tuple(L"/unsized/10", 10,
                                        std::wstring(L"the answer did not say its length, so its "
                                                     L"10 bytes cannot be known to be whole"))}) {
    const FetchResult got = http_->Fetch(Url(std::get<0>(c)), L"");
    EXPECT_TRUE(got.read == got.bytes.size() && got.bytes == TextBody(std::get<1>(c))) << std::get<0>(c);
    EXPECT_EQ(got.notWhole, std::get<2>(c));
    EXPECT_EQ(got.ok, got.notWhole.empty());
  }
}

TEST_F(ServicesHttp, ResponseHeadersWithoutPadding) {
  // (Wine's WinINet does not answer for Forwarded, so only Last-Modified
  // can be checked here.)
  std::wstring content;
  ASSERT_TRUE(Fetch(L"/headers", content));
  EXPECT_EQ(http_->LastModified(), L"Wed, 21 Oct 2015 07:28:00 GMT");
  ASSERT_TRUE(Fetch(L"/text/1", content));
  EXPECT_EQ(http_->LastModified(), L"");
  EXPECT_EQ(http_->Forwarded(), L"");
}

TEST_F(ServicesHttp, NothingListeningFailsQuietly) {
  const DWORD start = GetTickCount();
  const FetchResult got = http_->Fetch(L"http://127.0.0.1:9/none", L"");
  EXPECT_FALSE(got.ok);
  EXPECT_LT(GetTickCount() - start, HttpClient::kStepTimeoutMs);
  EXPECT_EQ(got.text, L"");
  EXPECT_EQ(http_->LastError(), L"HttpSendRequest failed");
  EXPECT_FALSE(http_->Connect(L"HTTP://127.0.0.1:" + port_ + L"/text/1", L""));
  EXPECT_NE(http_->LastError(), L"");
  EXPECT_TRUE(boxes_->Texts().empty());
}

TEST_F(ServicesHttp, ServerThatNeverAnswersEndsWithinTheTimeOut) {
  std::wstring content = L"untouched";
  DWORD start = GetTickCount();
  EXPECT_FALSE(Fetch(L"/hang", content));
  EXPECT_LT(GetTickCount() - start, HttpClient::kStepTimeoutMs + 3000);
  EXPECT_EQ(http_->LastError(), L"HttpSendRequest failed");
  EXPECT_EQ(content, L"");
  // A time limit shortens the wait.
  http_->SetTimeLimit(1000);
  start = GetTickCount();
  EXPECT_FALSE(Fetch(L"/hang", content));
  EXPECT_LT(GetTickCount() - start, HttpClient::kStepTimeoutMs - 1000);  // well short of the step's own
  EXPECT_TRUE(boxes_->Texts().empty());
}

TEST_F(ServicesHttp, BodyThatStopsHalfWayIsAFailedDownload) {
  http_->SetTimeLimit(1500);
  std::wstring content;
  const DWORD start = GetTickCount();
  EXPECT_FALSE(Fetch(L"/stall", content));
  EXPECT_LT(GetTickCount() - start, HttpClient::kStepTimeoutMs - 500);
  EXPECT_EQ(boxes_->Texts(), std::vector<std::wstring>{L"Could not retrieve latest version"});
}

TEST_F(ServicesHttp, DownloadReplacesALongerFile) {
  wchar_t dir[MAX_PATH];
  GetTempPathW(MAX_PATH, dir);
  const std::wstring path = std::wstring(dir) + L"ombrelay_http_test.bin";
  std::wstring reason;
  ASSERT_TRUE(base::files::WriteAll(path, std::string(10000, 'x'), reason));
  EXPECT_TRUE(HttpClient::FileExists(path));
  const FetchResult got = http_->Fetch(Url(L"/bytes/2048"), path);
  ASSERT_TRUE(got.ok);
  EXPECT_EQ(got.text, L"");
  EXPECT_TRUE(FileBytes(path) == BinaryBody(2048));
  ASSERT_TRUE(http_->Fetch(Url(L"/bytes/0"), path).ok);
  EXPECT_EQ(FileBytes(path), "");
  DeleteFileW(path.c_str());
  EXPECT_FALSE(HttpClient::FileExists(path));
  EXPECT_FALSE(HttpClient::FileExists(dir));
}

TEST_F(ServicesHttp, DownloadThatStopsHalfWayLeavesTheOldFileAndNothingBesideIt) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring dir = std::wstring(temp) + L"ombrelay http stall";
  CreateDirectoryW(dir.c_str(), nullptr);
  const std::wstring path = dir + L"\\download.bin";
  std::wstring reason;
  ASSERT_TRUE(base::files::WriteAll(path, "old version", reason));
  http_->SetTimeLimit(1500);
  EXPECT_FALSE(http_->Fetch(Url(L"/stall"), path).ok);
  EXPECT_EQ(FileBytes(path), "old version");
  EXPECT_FALSE(http_->Fetch(Url(L"/short/5000"), path).ok);
  EXPECT_EQ(FileBytes(path), "old version");
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((dir + L"\\*.tmp").c_str(), &found);
  EXPECT_EQ(find, INVALID_HANDLE_VALUE);
  if (find != INVALID_HANDLE_VALUE) FindClose(find);
  DeleteFileW(path.c_str());
  EXPECT_TRUE(RemoveDirectoryW(dir.c_str()));
}

TEST_F(ServicesHttp, EmptyFileNameReadsIntoTheText) {
  const FetchResult got = http_->Fetch(Url(L"/text/5"), L"");
  ASSERT_TRUE(got.ok);
  EXPECT_EQ(got.text, L"abcde");
}

TEST_F(ServicesHttp, UnwritableFileIsReported) {
  EXPECT_FALSE(http_->Fetch(Url(L"/text/5"), L"C:\\no\\such\\folder\\x.bin").ok);
  EXPECT_EQ(boxes_->Texts(), std::vector<std::wstring>{L"Could not retrieve latest version"});
}

}  // namespace
}  // namespace services
