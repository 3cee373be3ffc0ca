// Splitting a web address for the HTTP fetcher: server, port and object path.
#pragma once
#include <string>

namespace services {

struct UrlParts {
  std::wstring server;
  unsigned short port = 80;
  std::wstring path;  // from the first "/" on, or empty
};

// Removes a leading "http://" (exactly, case-sensitive) from url.
void StripHttpPrefix(std::wstring& url);
// Removes a leading "https://" (exactly, case-sensitive); true when it did.
bool StripHttpsPrefix(std::wstring& url);
// "host:8080/x" -> host, 8080, "/x". A port that is not a number from 1 to
// 65535 stays part of the server name (the connection then fails); none
// given is `defaultPort`.
UrlParts SplitUrl(const std::wstring& url, unsigned short defaultPort = 80);

// The decimal number a header text starts with; 0 when none; capped at the
// largest 32-bit value.
long LeadingCount(const std::wstring& text);

}  // namespace services
