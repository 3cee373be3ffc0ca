// Reading the program's command line: the argument text after the program's
// name, whether it asks for a removal run, and the paths it hands in to be
// added (split as Windows splits a command line into arguments).
#pragma once
#include <string>
#include <vector>

namespace app {

// The text after the program name (quoted or not) and the blanks after it.
std::wstring ArgumentText(const std::wstring& commandLine);
// A removal run is asked for by text that begins with "Remove Files" (after
// an opening quote, if any) followed by "*" and the list's path, or by
// nothing else. The desktop shortcuts always begin that way; a path that
// merely holds those words, such as a folder named so, is not one.
bool IsRemovalRun(const std::wstring& arguments);
// The arguments one by one, by the rules of CommandLineToArgvW: blanks and
// tabs part them unless quoted, 2n backslashes before a quote stand for n
// and the quote opens or closes, 2n+1 for n and a plain quote, "" inside
// quotes for a plain quote.
std::vector<std::wstring> SplitArguments(const std::wstring& arguments);
// The full paths (base::paths::IsFullPath) among the arguments of an
// editing-mode start, in order: relative paths name nothing a second start
// could agree on.
// A quoted folder path ending in a backslash ("C:\" as the shell passes a
// drive) comes out of the split with a quote in place of that backslash,
// which is put back.
std::vector<std::wstring> PathArguments(const std::wstring& arguments);

// Paths handed from one start to another: each followed by a NUL.
std::wstring PackPaths(const std::vector<std::wstring>& paths);
// The packed paths, empty ones left out; text after the last NUL is a path too.
std::vector<std::wstring> UnpackPaths(const std::wstring& packed);

}  // namespace app
