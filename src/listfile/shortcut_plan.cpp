// Shortcut values: special folder names, link paths, the removal shortcut
// a save places on the desktop and the name it goes under.
#include "listfile/shortcut_plan.h"

#include "base/paths.h"

namespace listfile {
namespace {

const wchar_t kRemoveFiles[] = L"Remove Files*";
constexpr int kMostNames = 1000;

}  // namespace

const wchar_t* SpecialFolderName(long location) {
  static const wchar_t* const kNames[] = {L"Desktop", L"Programs", L"StartMenu", L"StartUp"};
  return location >= 0 && location < 4 ? kNames[location] : nullptr;
}

std::wstring LinkPath(const std::wstring& folder, const std::wstring& name) {
  return base::paths::WithSeparator(folder) + name + L".lnk";
}

bool ArgumentsStored(const std::wstring& arguments) { return arguments.find_first_not_of(L' ') != std::wstring::npos; }

std::wstring ProgramBaseName(const std::wstring& programPath) {
  std::wstring name(base::paths::LastName(programPath));
  if (name.size() >= 4 && base::paths::SameText(std::wstring_view(name).substr(name.size() - 4), L".exe"))
    name.resize(name.size() - 4);
  return name;
}

RemovalShortcut MakeRemovalShortcut(const std::wstring& programPath, const std::wstring& listPath) {
  const std::wstring base = ProgramBaseName(programPath);
  RemovalShortcut link;
  link.name = base + L" Delete Files";
  link.target = base::paths::WithSeparator(base::paths::FolderPart(programPath)) + base + L".exe";
  link.iconLocation = link.target + L",0";
  link.workingDirectory = link.target;
  link.arguments = kRemoveFiles + listPath;
  return link;
}

std::wstring ListPathOfArguments(const std::wstring& arguments) {
  const std::wstring start = kRemoveFiles;
  if (arguments.compare(0, start.size(), start) != 0) return std::wstring();
  return arguments.substr(start.size(), arguments.find(L'*', start.size()) - start.size());
}

std::wstring ListName(const std::wstring& listPath) {
  std::wstring name(base::paths::LastName(listPath));
  const size_t dot = name.find_last_of(L'.');
  if (dot != std::wstring::npos && dot > 0) name.resize(dot);
  return name;
}

std::wstring ChooseShortcutName(const std::wstring& firstName, const std::wstring& listPath,
                                const std::function<NameOwner(const std::wstring& name)>& ownerOf) {
  const std::wstring own = firstName + L" - " + ListName(listPath);
  for (int n = 0; n <= kMostNames; ++n) {
    const std::wstring name = n == 0 ? firstName : n == 1 ? own : own + L" (" + std::to_wstring(n) + L")";
    if (ownerOf(name) != NameOwner::OtherList) return name;
  }
  return std::wstring();
}

std::wstring ShortcutPlacedText(const std::wstring& name, const std::wstring& firstName) {
  const std::wstring run = L" Run this application to remove your selected files.";
  if (name == firstName) return L"Your delete list shortcut has been placed on your desktop." + run;
  return L"Your delete list shortcut has been placed on your desktop as \"" + name + L"\": the shortcut \"" +
         firstName + L"\" runs another list, and stays as it is." + run;
}

}  // namespace listfile
