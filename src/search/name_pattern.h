// The case-sensitive name test of the folder search: "*" fits any run of
// characters, "?" any one character, "#" any one digit, [abc] / [a-z] one
// character of the list and [!abc] one character not in it; everything else
// must match exactly, upper and lower case distinct.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace search {

enum class PatternFit { Fits, DoesNotFit, BadPattern };

// The whole name must fit the whole pattern. An unclosed "[" or a range
// written backwards ([z-a]) makes the pattern unusable: BadPattern.
PatternFit FitsPattern(std::wstring_view name, std::wstring_view pattern);

// A name against a list of patterns: Fits when it fits one of them,
// BadPattern when one of them is unusable (whatever the name), else
// DoesNotFit. An empty list fits no name.
PatternFit FitsAnyPattern(std::wstring_view name, const std::vector<std::wstring>& patterns);

// True for the patterns that the platform's own matching lets every name
// through ("*" and "*.*").
bool MatchesEverything(std::wstring_view pattern);

}  // namespace search
