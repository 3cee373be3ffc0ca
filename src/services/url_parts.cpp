// URL splitting and header numbers for the HTTP fetcher; no platform code.
#include "services/url_parts.h"

namespace services {
namespace {

// The port after the last ":" of a server name, or 0 when there is none.
unsigned PortOf(const std::wstring& server, size_t colon) {
  const std::wstring digits = server.substr(colon + 1);
  if (digits.empty() || digits.size() > 5) return 0;
  unsigned port = 0;
  for (wchar_t c : digits) {
    if (c < L'0' || c > L'9') return 0;
    port = port * 10 + static_cast<unsigned>(c - L'0');
  }
  return port <= 65535 ? port : 0;
}

}  // namespace

void StripHttpPrefix(std::wstring& url) {
  if (url.compare(0, 7, L"http://") == 0) url.erase(0, 7);
}

bool StripHttpsPrefix(std::wstring& url) {
  if (url.compare(0, 8, L"https://") != 0) return false;
  url.erase(0, 8);
  return true;
}

UrlParts SplitUrl(const std::wstring& url, unsigned short defaultPort) {
  UrlParts parts;
  parts.port = defaultPort;
  const size_t slash = url.find(L'/');
  parts.server = url.substr(0, slash);
  if (slash != std::wstring::npos) parts.path = url.substr(slash);
  const size_t colon = parts.server.rfind(L':');
  if (colon == std::wstring::npos) return parts;
  // "[::1]:8080" carries a port; a bare IPv6 address has colons of its own.
  const bool bracketed = parts.server[0] == L'[';
  if (bracketed ? parts.server[colon - 1] != L']' : parts.server.find(L':') != colon) return parts;
  const unsigned port = PortOf(parts.server, colon);
  if (port == 0) return parts;
  parts.port = static_cast<unsigned short>(port);
  parts.server.erase(colon);
  return parts;
}

long LeadingCount(const std::wstring& text) {
  const long kMax = 2147483647L;
  long value = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') break;
    const long digit = c - L'0';
    if (value > (kMax - digit) / 10) return kMax;
    value = value * 10 + digit;
  }
  return value;
}

}  // namespace services
