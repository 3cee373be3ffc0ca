// Judging an HTTP body whole (the fetcher's tests under Wine serve each kind).
#include "services/answer_length.h"

#include <gtest/gtest.h>

namespace services {
namespace {

TEST(ServicesAnswerLength, OnlyPlainDigitsAnnounceALengthAndAnEndedChunkedBodyIsWhole) {
  EXPECT_EQ(ContentLengthValue(L" 5000000000 "), 5000000000u);
  for (const wchar_t* bad : {L"", L"-5", L"+5", L"12abc", L"10, 10", L"0x10", L"9999999999999999999999"})
    EXPECT_FALSE(ContentLengthValue(bad)) << bad;
  EXPECT_TRUE(IsChunked(L"gzip, Chunked "));
  EXPECT_FALSE(IsChunked(L"chunked, gzip"));
  const base::text::NumberStyle blanks{L" ", L"3;0"};
  const std::wstring notWhole = L"the answer did not come whole: ";
  EXPECT_EQ(NotWholeReason({1829213u, false}, 914606, false, blanks), notWhole + L"914 606 of 1 829 213 bytes");
  EXPECT_EQ(NotWholeReason({1829213u, false}, 1829213, false, blanks),
            notWhole + L"it broke off after 1 829 213 bytes");
  EXPECT_EQ(NotWholeReason({10u, true}, 2500, true, blanks), L"");
  EXPECT_EQ(NotWholeReason({10u, true}, 2500, false, blanks), notWhole + L"it broke off after 2 500 bytes");
}

}  // namespace
}  // namespace services
