// URL splitting and header numbers of the HTTP fetcher.
#include "services/url_parts.h"

#include <gtest/gtest.h>

namespace services {
namespace {

TEST(ServicesUrlParts, StripsOnlyALowerCaseHttpPrefix) {
  std::wstring url = L"http://host/x";
  StripHttpPrefix(url);
  EXPECT_EQ(url, L"host/x");
  std::wstring upper = L"HTTP://host/x";
  StripHttpPrefix(upper);
  EXPECT_EQ(upper, L"HTTP://host/x");
  std::wstring secure = L"https://host/x";
  StripHttpPrefix(secure);
  EXPECT_EQ(secure, L"https://host/x");
  std::wstring bare = L"http:/";
  StripHttpPrefix(bare);
  EXPECT_EQ(bare, L"http:/");
}

TEST(ServicesUrlParts, ServerAndPath) {
  UrlParts p = SplitUrl(L"www.example.com/AppVersions/a.txt");
  EXPECT_EQ(p.server, L"www.example.com");
  EXPECT_EQ(p.path, L"/AppVersions/a.txt");
  EXPECT_EQ(p.port, 80);
  UrlParts only = SplitUrl(L"www.example.com");
  EXPECT_EQ(only.server, L"www.example.com");
  EXPECT_EQ(only.path, L"");
  UrlParts root = SplitUrl(L"host/");
  EXPECT_EQ(root.path, L"/");
  UrlParts empty = SplitUrl(L"");
  EXPECT_EQ(empty.server, L"");
  EXPECT_EQ(empty.path, L"");
}

TEST(ServicesUrlParts, PortIsSplitOff) {
  UrlParts p = SplitUrl(L"127.0.0.1:8080/x?a=b:c");
  EXPECT_EQ(p.server, L"127.0.0.1");
  EXPECT_EQ(p.port, 8080);
  EXPECT_EQ(p.path, L"/x?a=b:c");
  EXPECT_EQ(SplitUrl(L"host:65535").port, 65535);
  UrlParts v6 = SplitUrl(L"[::1]:81/y");
  EXPECT_EQ(v6.server, L"[::1]");
  EXPECT_EQ(v6.port, 81);
}

TEST(ServicesUrlParts, BadPortsStayInTheServerName) {
  for (const wchar_t* url : {L"host:0/x", L"host:65536/x", L"host:8o/x", L"host:/x", L"host:123456/x"}) {
    UrlParts p = SplitUrl(url);
    EXPECT_EQ(p.port, 80) << url;
    EXPECT_EQ(p.server.find(L':'), 4u) << url;
  }
  UrlParts v6 = SplitUrl(L"::1/x");
  EXPECT_EQ(v6.server, L"::1");
  EXPECT_EQ(v6.port, 80);
}

TEST(ServicesUrlParts, LeadingCount) {
  EXPECT_EQ(LeadingCount(L"2048"), 2048);
  EXPECT_EQ(LeadingCount(std::wstring(L"17") + L'\0' + L"99"), 17);
  EXPECT_EQ(LeadingCount(L""), 0);
  EXPECT_EQ(LeadingCount(L"abc"), 0);
  EXPECT_EQ(LeadingCount(L" 5"), 0);
  EXPECT_EQ(LeadingCount(L"2147483647"), 2147483647L);
  EXPECT_EQ(LeadingCount(L"99999999999"), 2147483647L);
}

TEST(ServicesUrlParts, HttpsPrefixAndItsDefaultPort) {
  std::wstring url = L"https://host/x";
  EXPECT_TRUE(StripHttpsPrefix(url));
  EXPECT_EQ(url, L"host/x");
  EXPECT_FALSE(StripHttpsPrefix(url));
  EXPECT_EQ(SplitUrl(url, 443).port, 443);
  EXPECT_EQ(SplitUrl(L"host:8443/x", 443).port, 8443);
}

}  // namespace
}  // namespace services
