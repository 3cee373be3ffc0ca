// HttpClient on WinINet. Expected failures (no session, no connection, no
// answer) leave a text in LastError; a fetch that fails once answered
// tells the user in one message. Time-outs are set on the request handle:
// Wine ignores them on the session. Requests are HTTP/1.1, so an answer
// may come chunked: WinINet reads the chunks, and ends one that breaks off
// as it ends a whole one (so it went under Wine 8).
#include "services/http_win.h"

#include <algorithm>
#include <vector>

#include "base/encoding.h"
#include "base/error_trap_win.h"
#include "base/paths.h"
#include "base/texts_win.h"
#include "services/url_parts.h"

namespace services {
namespace {

constexpr DWORD kChunk = 2048;

// One header of the request's answer (or, with the request flag, of the
// request itself), without padding; empty when there is none.
std::wstring QueryHeader(HINTERNET request, DWORD level) {
  std::wstring result;
  base::trap::Guard([&] {
    // Starts with room for 1024 characters and grows for longer headers.
    std::vector<wchar_t> buffer(1024, L'\0');
    DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    DWORD index = 0;
    BOOL ok = HttpQueryInfoW(request, level, buffer.data(), &bytes, &index);
    if (!ok && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
      ST(buffer.assign(bytes / sizeof(wchar_t) + 1, L'\0'));
      index = 0;
      ok = HttpQueryInfoW(request, level, buffer.data(), &bytes, &index);
    }
    if (!ok) return;
    std::wstring text(buffer.data(), std::min<size_t>(bytes / sizeof(wchar_t), buffer.size()));
    text = text.substr(0, text.find(L'\0'));
    const size_t first = text.find_first_not_of(L' ');
    result = first == std::wstring::npos ? std::wstring() : text.substr(first, text.find_last_not_of(L' ') - first + 1);
  });
  return result;
}

}  // namespace

HttpClient::HttpClient() {
  session_.reset(InternetOpenW(L"http protocol", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  lastError_ = session_ ? L"" : L"InternetOpen failed.";
}

std::optional<std::wstring> HttpClient::Connect(const std::wstring& url, const std::wstring& extraHeaders) {
  std::wstring address = url;
  bool sent = false;
  startTick_ = GetTickCount();
  base::trap::Guard([&] {
    secure_ = ST(StripHttpsPrefix(address));
    if (!secure_) ST(StripHttpPrefix(address));
    sent = ST(SendRequest(address, extraHeaders));
  });
  if (!sent) return std::nullopt;
  return address;
}

bool HttpClient::SendRequest(const std::wstring& address, const std::wstring& extraHeaders) {
  const UrlParts parts = SplitUrl(address, secure_ ? INTERNET_DEFAULT_HTTPS_PORT : INTERNET_DEFAULT_HTTP_PORT);
  // A new request replaces the handles and the status of the previous one.
  status_ = 0;
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
  request_.reset(HttpOpenRequestW(connection_.get(), L"GET", parts.path.c_str(), L"HTTP/1.1", nullptr, nullptr,
                                  INTERNET_FLAG_RELOAD | (secure_ ? INTERNET_FLAG_SECURE : 0), 0));
  if (!request_) {
    lastError_ = L"HttpOpenRequest failed";
    return false;
  }
  if (!extraHeaders.empty())
    HttpAddRequestHeadersW(request_.get(), extraHeaders.c_str(), static_cast<DWORD>(extraHeaders.size()),
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
  DWORD status = 0, size = sizeof status;
  status_ =
      HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr) ? status : 0;
  const std::wstring length = QueryHeader(request, HTTP_QUERY_CONTENT_LENGTH);
  contentLength_ = LeadingCount(length);
  announced_ = {ContentLengthValue(length), IsChunked(QueryHeader(request, HTTP_QUERY_TRANSFER_ENCODING))};
  lastModified_ = QueryHeader(request, HTTP_QUERY_LAST_MODIFIED);
  forwarded_ = QueryHeader(request, HTTP_QUERY_FORWARDED);
  requestHeaders_ = QueryHeader(request, HTTP_QUERY_FLAG_REQUEST_HEADERS | HTTP_QUERY_RAW_HEADERS_CRLF);
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

HttpClient::BodyEnd HttpClient::ReadBody(std::string& body, base::files::StagedFile* file, std::uint64_t& read) {
  char buffer[kChunk];
  for (;;) {
    DWORD count = 0;
    // A read that fails (time-out, broken connection) is a failed download,
    // not the end of the body.
    if (!ApplyTimeouts() || !InternetReadFile(request_.get(), buffer, kChunk, &count)) return BodyEnd::broke;
    // Reads go on past an announced length: a body longer than it said is
    // not whole either.
    if (count == 0) return BodyEnd::ended;
    read += count;
    if (file) {
      if (!file->Write(buffer, count)) return BodyEnd::unwritten;
    } else {
      if (mostBytes_ != 0 && body.size() + count > mostBytes_) return BodyEnd::tooLong;
      body.append(buffer, count);
    }
  }
}

std::wstring HttpClient::NotWhole(BodyEnd end, std::uint64_t read) const {
  const base::text::NumberStyle style = base::text::UserNumberStyle();
  if (end == BodyEnd::tooLong)
    return L"the answer is longer than the " + base::text::GroupedNumber(mostBytes_, style) + L" bytes taken";
  return end == BodyEnd::unwritten ? std::wstring() : NotWholeReason(announced_, read, end == BodyEnd::ended, style);
}

FetchResult HttpClient::Fetch(const std::wstring& url, const std::wstring& fileName, const std::wstring& extraHeaders) {
  FetchResult result;
  if (!Connect(url, extraHeaders)) return result;
  lastError_.clear();
  result.announced = announced_;
  {
    // What nothing expected leaves for the Guard of the window that waits
    // for the fetch; the request ends either way.
    struct EndRequest {
      HttpClient& client;
      ~EndRequest() { client.request_.reset(); }
    } endRequest{*this};
    std::string body;
    // The download replaces the file only once it is whole; a failed one
    // leaves the file as it was and nothing beside it.
    base::files::StagedFile file;
    const bool toFile = !fileName.empty();
    const BodyEnd end = toFile && !file.Open(base::paths::ParentOf(fileName))
                            ? BodyEnd::unwritten
                            : ReadBody(body, toFile ? &file : nullptr, result.read);
    result.notWhole = NotWhole(end, result.read);
    result.ok = end == BodyEnd::ended && result.notWhole.empty() && (!toFile || file.MoveTo(fileName, true));
    if (end == BodyEnd::unwritten || (toFile && result.notWhole.empty() && !result.ok))
      lastError_ = L"the file could not be written";
    // What was read before a failure stays.
    result.text = base::enc::FromAnsi(body);
    result.bytes = std::move(body);
  }
  if (!result.ok && !quiet_)
    MessageBoxW(GetActiveWindow(), L"Could not retrieve latest version", L"Error", MB_OK | MB_ICONEXCLAMATION);
  return result;
}

bool HttpClient::FileExists(const std::wstring& fileName) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  return GetFileAttributesExW(base::paths::Verbatim(fileName).c_str(), GetFileExInfoStandard, &data) &&
         !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace services
