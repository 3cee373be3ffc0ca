// HttpClient: fetches one HTTP resource at a time through WinINet and hands the
// body to its caller as a text or writes it to a file. Keeps a few response
// headers and a last-error text. Every call blocks until its answer or its
// time-out: a window runs it on a thread of its own.
#pragma once
#include <windows.h>

#include <wininet.h>

#include <string>

#include "base/atomic_write_win.h"
#include "base/handles_win.h"

namespace services {

struct InternetTraits {
  static HINTERNET Invalid() { return nullptr; }
  static void Close(HINTERNET h) { ::InternetCloseHandle(h); }
};
using unique_hinternet = base::win::UniqueHandle<HINTERNET, InternetTraits>;

class HttpClient {
 public:
  // Time-out of each network step unless a shorter time limit is left.
  static constexpr DWORD kStepTimeoutMs = 5000;

  HttpClient();
  HttpClient(const HttpClient&) = delete;
  HttpClient& operator=(const HttpClient&) = delete;

  // The request headers as sent, set by each successful Connect.
  std::wstring sRequestHeaders;

  std::wstring Forwarded() const { return forwarded_; }
  // Opens a connection and sends a GET request. A leading "http://" is
  // removed from the caller's Url. Url may carry a port ("host:8080/x").
  bool Connect(std::wstring& Url, const std::wstring& AdditionalHeader);
  long ContentLength() const { return contentLength_; }
  // Fetches Url and reads the whole body into sContent (ReadToString, or an
  // empty file name, which sets ReadToString) or into the file sFileName,
  // replacing any file of that name.
  bool GetFile(std::wstring Url, const std::wstring& sFileName, std::wstring& sContent, bool& ReadToString,
               const std::wstring& AdditionalHeader = std::wstring());
  // True when the file exists and its length can be read.
  bool FileExist(const std::wstring& sFileName);
  std::wstring LastError() const { return lastError_; }
  std::wstring LastModified() const { return lastModified_; }

  // Limits each following Connect or GetFile as a whole (0: each network
  // step only gets kStepTimeoutMs).
  void SetTimeLimit(DWORD ms) { timeLimitMs_ = ms; }

 private:
  std::wstring GetQueryInfo(HINTERNET hHttpRequest, DWORD iInfoLevel);
  bool SendRequest(const std::wstring& Url, const std::wstring& AdditionalHeader);
  void ReadHeaders();
  // Sets the request's time-outs to what is left of the time limit; false
  // when nothing is left.
  bool ApplyTimeouts();
  bool ReadBody(std::string& body, base::files::StagedFile* file);

  std::wstring lastError_;
  long contentLength_ = 0;
  std::wstring lastModified_;
  std::wstring forwarded_;
  unique_hinternet session_;
  unique_hinternet connection_;
  unique_hinternet request_;
  DWORD timeLimitMs_ = 0;
  DWORD startTick_ = 0;
};

}  // namespace services
