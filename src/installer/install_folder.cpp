// The rule of install_folder.h: which folder an install may write into.
#include "installer/install_folder.h"

#include "base/paths.h"

namespace installer {
namespace {

const wchar_t kOwnFolder[] = L"Ombrelay";

// Not there yet, empty, an earlier install, or a folder "Ombrelay" holding
// nothing by the package's names (one a former install left with the
// user's delete lists in it, say).
bool Fits(const std::wstring& folder, const FolderLook& at) {
  switch (at.kind) {
    case FolderLook::kMissing: return true;
    case FolderLook::kFile: return false;
    case FolderLook::kFolder: break;
  }
  if (at.holds_install || at.empty) return true;
  return base::paths::SameText(base::paths::LastName(folder), kOwnFolder) && !at.holds_our_names;
}

// The first file on the way to a folder that is not there yet: the
// Installer would try to make the folder inside it (and under Wine never
// ends). Empty when the nearest existing parent is a folder.
std::wstring FileOnTheWay(const std::wstring& folder, const LookAt& look) {
  for (std::wstring parent = base::paths::Qualify(base::paths::ParentOf(folder)); !parent.empty();
       parent = base::paths::Qualify(base::paths::ParentOf(parent))) {
    const FolderLook::Kind kind = look(parent).kind;
    if (kind == FolderLook::kFile) return parent;
    if (kind == FolderLook::kFolder || parent == base::paths::Qualify(base::paths::Root(parent))) break;
  }
  return {};
}

}  // namespace

InstallFolder ChooseInstallFolder(const std::wstring& asked, const LookAt& look) {
  const std::wstring folder = base::paths::Qualify(asked);
  if (!base::paths::IsFullPath(folder)) return {InstallFolder::kNotFull, {}};
  const FolderLook at = look(folder);
  if (at.kind == FolderLook::kFile) return {InstallFolder::kFile, folder};
  if (at.kind == FolderLook::kMissing) {
    const std::wstring file = FileOnTheWay(folder, look);
    return file.empty() ? InstallFolder{InstallFolder::kNone, folder} : InstallFolder{InstallFolder::kFile, file};
  }
  if (Fits(folder, at)) return {InstallFolder::kNone, folder};
  const std::wstring own = base::paths::JoinPath(folder, kOwnFolder);
  if (Fits(own, look(own))) return {InstallFolder::kNone, own};
  return {InstallFolder::kCrowded, {}};
}

std::wstring RefusalText(const std::wstring& asked, const InstallFolder& refused) {
  const wchar_t kNothing[] = L" Nothing was installed.";
  switch (refused.refusal) {
    case InstallFolder::kNone: break;
    case InstallFolder::kNotFull:
      return asked + L" is not a full path: give the folder with its drive or share (D:\\Tools)." + kNothing;
    case InstallFolder::kFile: return refused.path + L" is a file, not a folder: choose another folder." + kNothing;
    case InstallFolder::kCrowded:
      return asked + L" already holds other files, and so does its folder Ombrelay: choose another folder." + kNothing;
  }
  return {};
}

}  // namespace installer
