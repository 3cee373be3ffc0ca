// Reading the program's command line: the argument text after the program's
// name, and whether it asks for a removal run.
#pragma once
#include <string>

namespace app {

// The text after the program name (quoted or not) and the blanks after it.
std::wstring ArgumentText(const std::wstring& commandLine);
// A removal run is asked for by "Remove Files" anywhere, case-sensitive.
bool IsRemovalRun(const std::wstring& arguments);

}  // namespace app
