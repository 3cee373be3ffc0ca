// Text conversions: UTF-8 both ways and the ANSI code page without best fit.
#include "base/encoding.h"

#include <gtest/gtest.h>

TEST(Utf8, RoundTripsAllPlanes) {
  std::wstring text = L"a\u00e9\u4e2d";
  text += static_cast<wchar_t>(0xD83D);  // U+1F600 as a surrogate pair on Windows
  if (sizeof(wchar_t) == 2)
    text += static_cast<wchar_t>(0xDE00);
  else
    text.back() = static_cast<wchar_t>(0x1F600);
  std::string bytes = base::enc::ToUtf8(text);
  EXPECT_EQ(bytes, "a\xc3\xa9\xe4\xb8\xad\xf0\x9f\x98\x80");
  EXPECT_EQ(base::enc::FromUtf8(bytes), text);
}

TEST(Utf8, BadSequencesBecomeReplacementCharacters) {
  EXPECT_EQ(base::enc::FromUtf8("\xff"), L"\ufffd");
  EXPECT_EQ(base::enc::FromUtf8("a\xc3"), L"a\ufffd");
  EXPECT_EQ(base::enc::FromUtf8("\xc0\xaf"), L"\ufffd\ufffd");             // overlong
  EXPECT_EQ(base::enc::FromUtf8("\xed\xa0\x80").substr(0, 1), L"\ufffd");  // surrogate
}

TEST(Ansi, Windows1252BothWays) {
  std::string out;
  EXPECT_TRUE(base::enc::ToAnsi(L"\u20ac\u00e9\u0178A", out));
  EXPECT_EQ(out,
            "\x80\xe9\x9f"
            "A");
  EXPECT_EQ(base::enc::FromAnsi("\x80\xe9\x9f"
                                "A"),
            L"\u20ac\u00e9\u0178A");
}

TEST(Ansi, NoBestFitMapping) {
  std::string out;
  // U+0100 would best-fit to 'A' and U+4E2D has no counterpart at all.
  EXPECT_FALSE(base::enc::ToAnsi(L"\u0100", out));
  EXPECT_NE(out, "A");
  EXPECT_FALSE(base::enc::ToAnsi(L"x\u4e2d", out));
  EXPECT_EQ(out.substr(0, 1), "x");
}
