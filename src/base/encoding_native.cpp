// ANSI code page for builds off Windows: Windows-1252, exactly as the
// platform maps it (the five unassigned bytes map to the C1 controls).
#include "base/encoding.h"

namespace base::enc {
namespace {

const char16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                            0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                            0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool ByteFor(char32_t c, unsigned char& b) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
    b = static_cast<unsigned char>(c);
    return true;
  }
  for (int i = 0; i < 32; ++i) {
    if (kHigh[i] == c) {
      b = static_cast<unsigned char>(0x80 + i);
      return true;
    }
  }
  return false;
}

}  // namespace

bool ToAnsi(const std::wstring& text, std::string& out) {
  out.clear();
  out.reserve(text.size());
  bool exact = true;
  for (wchar_t w : text) {
    unsigned char b;
    if (!ByteFor(static_cast<char32_t>(w), b)) {
      b = '?';
      exact = false;
    }
    out += static_cast<char>(b);
  }
  return exact;
}

std::wstring FromAnsi(const std::string& bytes) {
  std::wstring out;
  out.reserve(bytes.size());
  for (char ch : bytes) {
    unsigned char b = static_cast<unsigned char>(ch);
    out += (b >= 0x80 && b < 0xA0) ? static_cast<wchar_t>(kHigh[b - 0x80]) : static_cast<wchar_t>(b);
  }
  return out;
}

}  // namespace base::enc
