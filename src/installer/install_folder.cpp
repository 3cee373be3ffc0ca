// The rule of install_folder.h: which folder an install may write into.
#include "installer/install_folder.h"

#include "base/paths.h"

namespace installer {
namespace {

const wchar_t kOwnFolder[] = L"Ombrelay";

// Not there yet, empty, an earlier install, or a folder "Ombrelay" holding
// nothing by the package's names (one a former install left with the
// user's delete lists in it, say).
bool Fits(const std::wstring& folder, const LookAt& look) {
  const FolderLook at = look(folder);
  switch (at.kind) {
    case FolderLook::kMissing: return true;
    case FolderLook::kFile: return false;
    case FolderLook::kFolder: break;
  }
  if (at.holds_install || at.empty) return true;
  return base::paths::SameText(base::paths::LastName(folder), kOwnFolder) && !at.holds_our_names;
}

}  // namespace

std::wstring ChooseInstallFolder(const std::wstring& asked, const LookAt& look) {
  const std::wstring folder = base::paths::Qualify(asked);
  if (folder.empty()) return folder;
  if (Fits(folder, look)) return folder;
  const std::wstring own = base::paths::JoinPath(folder, kOwnFolder);
  return Fits(own, look) ? own : std::wstring();
}

}  // namespace installer
