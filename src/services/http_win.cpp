// HttpClient on WinINet. Expected failures (no session, no connection, no
// answer) leave a text in LastError; GetFile has its own failure path with
// one message. Time-outs are set on the request handle: Wine ignores them on
// the session.
#include "services/http_win.h"

#include <algorithm>
#include <vector>

#include "base/encoding.h"
#include "base/error_trap_win.h"
#include "base/paths.h"
#include "services/url_parts.h"

namespace services {
namespace {

constexpr DWORD kChunk = 2048;

}  // namespace

HttpClient::HttpClient() {
  session_.reset(InternetOpenW(L"http protocol", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  lastError_ = session_ ? L"" : L"InternetOpen failed.";
}

bool HttpClient::Connect(std::wstring& Url, const std::wstring& AdditionalHeader) {
  bool result = false;
  startTick_ = GetTickCount();
  base::trap::Guard([&] {
    ST(StripHttpPrefix(Url));
    result = ST(SendRequest(Url, AdditionalHeader));
  });
  return result;
}

bool HttpClient::SendRequest(const std::wstring& Url, const std::wstring& AdditionalHeader) {
  const UrlParts parts = SplitUrl(Url);
  // A new request replaces the handles of the previous one.
  request_.reset();
  connection_.reset();
  if (!session_) {
    lastError_ = L"InternetSession failed";
    return false;
  }
  connection_.reset(InternetConnectW(session_.get(), parts.server.c_str(), parts.port, nullptr, nullptr,
                                          INTERNET_SERVICE_HTTP, 0, 0));
  if (!connection_) {
    lastError_ = L"InternetConnect failed";
    return false;
  }
  request_.reset(HttpOpenRequestW(connection_.get(), L"GET", parts.path.c_str(), L"HTTP/1.0", nullptr,
                                          nullptr, INTERNET_FLAG_RELOAD, 0));
  if (!request_) {
    lastError_ = L"HttpOpenRequest failed";
    return false;
  }
  if (!AdditionalHeader.empty())
    HttpAddRequestHeadersW(request_.get(), AdditionalHeader.c_str(), static_cast<DWORD>(AdditionalHeader.size()),
                           HTTP_ADDREQ_FLAG_ADD_IF_NEW);
  if (!ApplyTimeouts() || !HttpSendRequestW(request_.get(), nullptr, 0, nullptr, 0)) {
    lastError_ = L"HttpSendRequest failed";
    return false;
  }
  ReadHeaders();
  lastError_.clear();
  return true;
}

void HttpClient::ReadHeaders() {
  HINTERNET request = request_.get();
  contentLength_ = LeadingCount(GetQueryInfo(request, HTTP_QUERY_CONTENT_LENGTH));
  lastModified_ = GetQueryInfo(request, HTTP_QUERY_LAST_MODIFIED);
  forwarded_ = GetQueryInfo(request, HTTP_QUERY_FORWARDED);
  sRequestHeaders = GetQueryInfo(request, HTTP_QUERY_FLAG_REQUEST_HEADERS | HTTP_QUERY_RAW_HEADERS_CRLF);
}

std::wstring HttpClient::GetQueryInfo(HINTERNET hHttpRequest, DWORD iInfoLevel) {
  std::wstring result;
  base::trap::Guard([&] {
    // Starts with room for 1024 characters and grows for longer headers.
    std::vector<wchar_t> buffer(1024, L'\0');
    DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    DWORD index = 0;
    BOOL ok = HttpQueryInfoW(hHttpRequest, iInfoLevel, buffer.data(), &bytes, &index);
    if (!ok && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
      ST(buffer.assign(bytes / sizeof(wchar_t) + 1, L'\0'));
      index = 0;
      ok = HttpQueryInfoW(hHttpRequest, iInfoLevel, buffer.data(), &bytes, &index);
    }
    if (!ok) return;
    std::wstring text(buffer.data(), std::min<size_t>(bytes / sizeof(wchar_t), buffer.size()));
    text = text.substr(0, text.find(L'\0'));
    const size_t first = text.find_first_not_of(L' ');
    result = first == std::wstring::npos ? std::wstring() : text.substr(first, text.find_last_not_of(L' ') - first + 1);
  });
  return result;
}

bool HttpClient::ApplyTimeouts() {
  DWORD timeout = kStepTimeoutMs;
  if (timeLimitMs_ != 0) {
    const DWORD used = GetTickCount() - startTick_;
    if (used >= timeLimitMs_) return false;
    timeout = std::min(timeout, timeLimitMs_ - used);
  }
  HINTERNET request = request_.get();
  for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT})
    InternetSetOptionW(request, option, &timeout, sizeof timeout);
  return true;
}

bool HttpClient::ReadBody(std::string& body, base::files::StagedFile* file) {
  char buffer[kChunk];
  for (;;) {
    DWORD count = 0;
    // A read that fails (time-out, broken connection) is a failed download,
    // not the end of the body.
    if (!ApplyTimeouts() || !InternetReadFile(request_.get(), buffer, kChunk, &count)) return false;
    if (count == 0) return true;
    if (file) {
      if (!file->Write(buffer, count)) return false;
    } else {
      body.append(buffer, count);
    }
  }
}

bool HttpClient::GetFile(std::wstring Url, const std::wstring& sFileName, std::wstring& sContent, bool& ReadToString,
                      const std::wstring& AdditionalHeader) {
  if (!Connect(Url, AdditionalHeader)) return false;
  lastError_.clear();
  if (sFileName.empty()) ReadToString = true;
  bool ok = false;
  std::string body;
  try {
    if (ReadToString) {
      sContent.clear();
      ok = ReadBody(body, nullptr);
    } else {
      // The download replaces the file only once it is whole; a failed one
      // leaves the file as it was and nothing beside it.
      base::files::StagedFile file;
      ok = file.Open(base::paths::ParentOf(sFileName)) && ReadBody(body, &file) && file.MoveTo(sFileName, true);
    }
    // What was read before a failure stays.
    if (ReadToString) sContent = base::enc::FromAnsi(body);
  } catch (...) {
    ok = false;
  }
  request_.reset();
  if (!ok)
    MessageBoxW(GetActiveWindow(), L"Could not retrieve latest version", L"Error", MB_OK | MB_ICONEXCLAMATION);
  return ok;
}

bool HttpClient::FileExist(const std::wstring& sFileName) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  return GetFileAttributesExW(base::paths::Verbatim(sFileName).c_str(), GetFileExInfoStandard, &data) &&
         !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace services
