// Judging an HTTP body whole against what its headers announced.
#include "services/answer_length.h"

#include <gtest/gtest.h>

namespace services {
namespace {

TEST(ServicesAnswerLength, ContentLengthReadsOnlyPlainDigits) {
  EXPECT_EQ(ContentLengthValue(L"1829213"), 1829213u);
  EXPECT_EQ(ContentLengthValue(L" 0 "), 0u);
  EXPECT_EQ(ContentLengthValue(L"5000000000"), 5000000000u);
  for (const wchar_t* bad : {L"", L"  ", L"-5", L"+5", L"12abc", L"1,000", L"10, 10", L"0x10",
                             L"9999999999999999999999"})
    EXPECT_FALSE(ContentLengthValue(bad)) << bad;
  EXPECT_TRUE(IsChunked(L"chunked"));
  EXPECT_TRUE(IsChunked(L"gzip, Chunked "));
  EXPECT_FALSE(IsChunked(L"chunked, gzip"));
  EXPECT_FALSE(IsChunked(L""));
}

TEST(ServicesAnswerLength, OnlyABodyOfTheAnnouncedLengthOrAnEndedChunkedOneIsWhole) {
  const base::text::NumberStyle english;
  const AnnouncedLength length{1829213u, false};
  EXPECT_EQ(NotWholeReason(length, 1829213, true, english), L"");
  EXPECT_EQ(NotWholeReason(length, 914606, true, english), L"the answer did not come whole: 914,606 of 1,829,213 bytes");
  EXPECT_EQ(NotWholeReason(length, 914606, false, english), L"the answer did not come whole: 914,606 of 1,829,213 bytes");
  EXPECT_EQ(NotWholeReason(length, 1829214, true, base::text::NumberStyle{L"\u00a0", L"3;0"}),
            L"the answer did not come whole: 1\u00a0829\u00a0214 bytes came where 1\u00a0829\u00a0213 were announced");
  EXPECT_EQ(NotWholeReason(length, 1829213, false, english), L"the answer did not come whole: it broke off after 1,829,213 bytes");
  EXPECT_EQ(NotWholeReason(AnnouncedLength{0u, false}, 0, true, english), L"");
  // Chunked: its end decides, whatever length stands beside it.
  EXPECT_EQ(NotWholeReason(AnnouncedLength{10u, true}, 2500, true, english), L"");
  EXPECT_EQ(NotWholeReason(AnnouncedLength{{}, true}, 2500, false, english),
            L"the answer did not come whole: it broke off after 2,500 bytes");
  EXPECT_EQ(NotWholeReason(AnnouncedLength{}, 14, true, english),
            L"the answer did not say its length, so its 14 bytes cannot be known to be whole");
}

}  // namespace
}  // namespace services
