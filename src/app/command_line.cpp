// Command-line reading, kept apart from the window so it can be tested.
#include "app/command_line.h"

#include "base/paths.h"
#include "base/text_utils.h"

namespace app {
namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

// The shell quotes a path as "%1"; a path ending in a backslash then reads
// "C:\" and the split turns that last backslash into a quote.
std::wstring RepairTrailingBackslash(std::wstring path) {
  if (!path.empty() && path.back() == L'"') path.back() = L'\\';
  return path;
}

}  // namespace

std::wstring ArgumentText(const std::wstring& commandLine) {
  return commandLine.substr(base::text::ArgumentsStart(commandLine));
}

bool IsRemovalRun(const std::wstring& arguments) {
  const std::wstring words = L"Remove Files";
  const size_t start = !arguments.empty() && arguments[0] == L'"' ? 1 : 0;
  if (arguments.compare(start, words.size(), words) != 0) return false;
  const size_t after = start + words.size();
  if (after < arguments.size() && arguments[after] == L'*') return true;
  return arguments.find_first_not_of(L"\" \t", after) == std::wstring::npos;
}

std::vector<std::wstring> SplitArguments(const std::wstring& arguments) {
  std::vector<std::wstring> split;
  std::wstring current;
  bool inArgument = false;
  int quotes = 0;  // 1 inside quotes; 2 right after a closing quote
  size_t backslashes = 0;
  size_t i = 0;
  while (i < arguments.size()) {
    const wchar_t c = arguments[i];
    if (IsBlank(c) && quotes == 0) {
      current.append(backslashes, L'\\');
      backslashes = 0;
      if (inArgument) split.push_back(current);
      current.clear();
      inArgument = false;
      ++i;
      continue;
    }
    inArgument = true;
    ++i;
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    if (c != L'"') {
      current.append(backslashes, L'\\');
      backslashes = 0;
      current += c;
      continue;
    }
    current.append(backslashes / 2, L'\\');
    if (backslashes % 2) {
      current += L'"';
    } else {
      ++quotes;
    }
    backslashes = 0;
    for (; i < arguments.size() && arguments[i] == L'"'; ++i) {
      if (++quotes == 3) {
        current += L'"';
        quotes = 0;
      }
    }
    if (quotes == 2) quotes = 0;
  }
  current.append(backslashes, L'\\');
  if (inArgument) split.push_back(current);
  return split;
}

std::vector<std::wstring> PathArguments(const std::wstring& arguments) {
  std::vector<std::wstring> paths;
  for (const std::wstring& argument : SplitArguments(arguments)) {
    const std::wstring path = RepairTrailingBackslash(argument);
    if (base::paths::IsFullPath(path)) paths.push_back(path);
  }
  return paths;
}

std::wstring PackPaths(const std::vector<std::wstring>& paths) {
  std::wstring packed;
  for (const std::wstring& path : paths) {
    packed += path;
    packed += L'\0';
  }
  return packed;
}

std::vector<std::wstring> UnpackPaths(const std::wstring& packed) {
  std::vector<std::wstring> paths;
  size_t from = 0;
  while (from < packed.size()) {
    size_t end = packed.find(L'\0', from);
    if (end == std::wstring::npos) end = packed.size();
    if (end > from) paths.push_back(packed.substr(from, end - from));
    from = end + 1;
  }
  return paths;
}

}  // namespace app
