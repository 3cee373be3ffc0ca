// Text and path utilities. Their handling of empty pieces, byte 0 and line
// ends is part of the delete-list file's reading rule.
#include "base/text_utils.h"

#include "base/encoding.h"
#include "base/error_trap.h"

namespace base::text {

namespace {

template <class View>
View TrimmedOf(View text, View blanks) {
  const size_t first = text.find_first_not_of(blanks);
  if (first == View::npos) return {};
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

}  // namespace

std::wstring_view TrimBlanks(std::wstring_view text) { return TrimmedOf<std::wstring_view>(text, L" \t\r"); }
std::string_view TrimBlanks(std::string_view text) { return TrimmedOf<std::string_view>(text, " \t\r"); }
std::wstring_view TrimSpaces(std::wstring_view text) { return TrimmedOf<std::wstring_view>(text, L" "); }

void SplitString(const std::wstring& text, wchar_t separator, std::vector<std::wstring>& pieces) {
  trap::Guard([&] {
    ST(pieces.assign(1, std::wstring()));
    size_t start = 0;
    for (size_t at = text.find(separator); at != std::wstring::npos; at = text.find(separator, start)) {
      ST(pieces.back().assign(text, start, at - start));
      ST(pieces.emplace_back());
      start = at + 1;
    }
    ST(pieces.back().assign(text, start, std::wstring::npos));
  });
}

std::vector<std::wstring_view> SplitView(std::wstring_view text, wchar_t separator) {
  std::vector<std::wstring_view> pieces;
  size_t start = 0;
  for (size_t at = text.find(separator); at != std::wstring_view::npos; at = text.find(separator, start)) {
    pieces.push_back(text.substr(start, at - start));
    start = at + 1;
  }
  pieces.push_back(text.substr(start));
  return pieces;
}

size_t ArgumentsStart(const std::wstring& commandLine) {
  const auto blank = [](wchar_t c) { return c == L' ' || c == L'\t'; };
  size_t i = 0;
  if (!commandLine.empty() && commandLine[0] == L'"') {
    const size_t close = commandLine.find(L'"', 1);
    i = close == std::wstring::npos ? commandLine.size() : close + 1;
  } else {
    while (i < commandLine.size() && !blank(commandLine[i])) ++i;
  }
  while (i < commandLine.size() && blank(commandLine[i])) ++i;
  return i;
}

std::wstring BytesToText(std::string bytes) {
  for (char& b : bytes) {
    if (b == '\0') b = ' ';
  }
  return enc::FromAnsi(bytes);
}

}  // namespace base::text
