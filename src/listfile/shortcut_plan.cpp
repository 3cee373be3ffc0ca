// Shortcut values: special folder names, link paths and the removal
// shortcut a save places on the desktop.
#include "listfile/shortcut_plan.h"

#include <cwctype>

#include "base/text_utils.h"

namespace listfile {

const wchar_t* SpecialFolderName(long location) {
  static const wchar_t* const kNames[] = {L"Desktop", L"Programs", L"StartMenu", L"StartUp"};
  return location >= 0 && location < 4 ? kNames[location] : nullptr;
}

std::wstring LinkPath(const std::wstring& folder, const std::wstring& name) { return folder + L'\\' + name + L".lnk"; }

bool ArgumentsStored(const std::wstring& arguments) { return arguments.find_first_not_of(L' ') != std::wstring::npos; }

std::wstring ProgramBaseName(const std::wstring& programPath) {
  const size_t slash = programPath.find_last_of(L"\\/");
  std::wstring name = slash == std::wstring::npos ? programPath : programPath.substr(slash + 1);
  if (name.size() >= 4) {
    std::wstring ext = name.substr(name.size() - 4);
    for (wchar_t& c : ext) c = static_cast<wchar_t>(std::towlower(c));
    if (ext == L".exe") name.resize(name.size() - 4);
  }
  return name;
}

RemovalShortcut MakeRemovalShortcut(const std::wstring& programPath, const std::wstring& listPath) {
  const std::wstring base = ProgramBaseName(programPath);
  RemovalShortcut link;
  link.name = base + L" Delete Files";
  link.target = base::text::GetDirPath(programPath) + L'\\' + base + L".exe";
  link.iconLocation = link.target + L",0";
  link.workingDirectory = link.target;
  link.arguments = L"Remove Files*" + listPath;
  return link;
}

}  // namespace listfile
