// Shared text routines: splitting at a separator, trimming, a command
// line's arguments and the bytes of a text file as text.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace base::text {

// k separators always give k + 1 pieces; empty pieces are kept.
void SplitString(const std::wstring& text, wchar_t separator, std::vector<std::wstring>& pieces);
// The same as views into `text` (which must outlive them), for a reader
// that splits many short texts and keeps few of the pieces.
std::vector<std::wstring_view> SplitView(std::wstring_view text, wchar_t separator);

// The text without the blanks and tabs at either end (and without CR,
// for a line read from a file with CR LF ends).
std::wstring_view TrimBlanks(std::wstring_view text);
std::string_view TrimBlanks(std::string_view text);
// The text without the blanks at either end (character 32 only: tabs and
// other characters stay), as a password and a command line's pieces are
// compared.
std::wstring_view TrimSpaces(std::wstring_view text);

// Where a command line's argument text begins: after the program's name
// (quoted or not) and the blanks after it.
size_t ArgumentsStart(const std::wstring& commandLine);

// The bytes of a text file as text: byte 0 reads as a blank, the rest is
// converted from the ANSI code page.
std::wstring BytesToText(std::string bytes);

}  // namespace base::text
