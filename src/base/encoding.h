// Text conversions the portable code needs: UTF-8 and the ANSI code page.
// The ANSI side is an interface with two implementations: the platform's
// own code page on Windows, a faithful Windows-1252 table elsewhere.
#pragma once
#include <string>

namespace base::enc {

std::string ToUtf8(const std::wstring& text);
// Invalid sequences become U+FFFD; never throws on bad input.
std::wstring FromUtf8(const std::string& bytes);

// Converts to the ANSI code page without best-fit mapping. Returns false when
// some character has no exact counterpart (it is then written as '?').
bool ToAnsi(const std::wstring& text, std::string& out);
std::wstring FromAnsi(const std::string& bytes);

}  // namespace base::enc
