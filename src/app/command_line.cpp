// Command-line reading, kept apart from the window so it can be tested.
#include "app/command_line.h"

namespace app {

std::wstring ArgumentText(const std::wstring& commandLine) {
  size_t i = 0;
  if (!commandLine.empty() && commandLine[0] == L'"') {
    size_t close = commandLine.find(L'"', 1);
    i = close == std::wstring::npos ? commandLine.size() : close + 1;
  } else {
    while (i < commandLine.size() && commandLine[i] != L' ' && commandLine[i] != L'\t') ++i;
  }
  while (i < commandLine.size() && (commandLine[i] == L' ' || commandLine[i] == L'\t')) ++i;
  return commandLine.substr(i);
}

bool IsRemovalRun(const std::wstring& arguments) {
  return arguments.find(L"Remove Files") != std::wstring::npos;
}

}  // namespace app
