// HttpClient: fetches one HTTP resource at a time through WinINet and hands the
// body back as a text or writes it to a file, only when the whole answer
// came (answer_length.h judges it). Keeps a few response headers and a
// last-error text. Every call blocks until its answer or its
// time-out: a window runs it on a thread of its own.
#pragma once
#include <windows.h>

#include <wininet.h>

#include <cstdint>
#include <optional>
#include <string>

#include "base/atomic_write_win.h"
#include "base/handles_win.h"
#include "services/answer_length.h"

namespace services {

using base::win::unique_hinternet;

// What one fetch brought.
struct FetchResult {
  bool ok = false;            // the whole body came (and, for a file, was written)
  std::wstring text;          // a body read as text: whole, or what came before a failure
  std::string bytes;          // the body as it came (not for a file)
  std::uint64_t read = 0;     // the body's bytes that came
  AnnouncedLength announced;  // what the answer said of its length
  // Why the body that came is not the whole answer, for the user; empty
  // when it is, or when no answer came (LastError then says why).
  std::wstring notWhole;
};

class HttpClient {
 public:
  // Time-out of each network step unless a shorter time limit is left.
  static constexpr DWORD kStepTimeoutMs = 5000;

  HttpClient();
  HttpClient(const HttpClient&) = delete;
  HttpClient& operator=(const HttpClient&) = delete;

  // Opens a connection and sends a GET request for url, which may start
  // with "http://" or "https://" and carry a port ("host:8080/x"). Returns the address as
  // requested, without the "http://"; none when no answer came.
  std::optional<std::wstring> Connect(const std::wstring& url, const std::wstring& extraHeaders);
  // Fetches url and reads the whole body into the result's text (no file
  // name) or into the named file, replacing any file of that name.
  FetchResult Fetch(const std::wstring& url, const std::wstring& fileName, const std::wstring& extraHeaders = {});
  // True when the file exists and its length can be read.
  static bool FileExists(const std::wstring& fileName);

  // What the last request sent and the headers its answer carried.
  const std::wstring& RequestHeaders() const { return requestHeaders_; }
  long ContentLength() const { return contentLength_; }
  const std::wstring& LastModified() const { return lastModified_; }
  const std::wstring& Forwarded() const { return forwarded_; }
  const std::wstring& LastError() const { return lastError_; }
  // The answer's HTTP status code (200 for a whole body); 0 before one came.
  DWORD Status() const { return status_; }

  // Limits each following Connect or Fetch as a whole (0: each network
  // step only gets kStepTimeoutMs).
  void SetTimeLimit(DWORD ms) { timeLimitMs_ = ms; }
  // A caller that tells the user itself: a failed fetch shows no message.
  void SetQuiet(bool quiet) { quiet_ = quiet; }
  // A body longer than this fails the fetch (0: any length).
  void SetMostBytes(size_t most) { mostBytes_ = most; }

 private:
  bool SendRequest(const std::wstring& address, const std::wstring& extraHeaders);
  void ReadHeaders();
  // Sets the request's time-outs to what is left of the time limit; false
  // when nothing is left.
  bool ApplyTimeouts();
  enum class BodyEnd { ended, broke, tooLong, unwritten };
  BodyEnd ReadBody(std::string& body, base::files::StagedFile* file, std::uint64_t& read);
  // Why a body that ended so is not the whole answer; empty when it is, or
  // when it could not be written.
  std::wstring NotWhole(BodyEnd end, std::uint64_t read) const;

  std::wstring lastError_;
  std::wstring requestHeaders_;
  long contentLength_ = 0;
  AnnouncedLength announced_;
  std::wstring lastModified_;
  std::wstring forwarded_;
  unique_hinternet session_;
  unique_hinternet connection_;
  unique_hinternet request_;
  DWORD timeLimitMs_ = 0;
  DWORD status_ = 0;
  bool secure_ = false;
  bool quiet_ = false;
  size_t mostBytes_ = 0;
  DWORD startTick_ = 0;
};

}  // namespace services
