// The variables' values from the known folders and the environment.
#include "routines/variables_win.h"

#include <windows.h>
#include <shlobj.h>

#include "base/paths.h"
#include "base/paths_win.h"
#include "base/system_folders_win.h"

namespace routines {
namespace {

std::wstring KnownFolder(REFKNOWNFOLDERID id) { return base::system::KnownFolder(id, KF_FLAG_DONT_VERIFY); }

using base::system::EnvironmentValue;

// A folder as every walk spells it: canonical, long names.
std::wstring Spelled(const std::wstring& folder) {
  if (folder.empty() || !base::paths::IsFullPath(folder)) return folder;
  return base::paths::LongNames(base::paths::Canonical(folder));
}

}  // namespace

SystemVariables::SystemVariables() {
  const auto add = [this](const std::wstring& name, const std::wstring& value) {
    if (value.empty()) return;
    std::vector<std::wstring>& values = known_[base::paths::FoldCase(name)];
    const std::wstring spelled = Spelled(value);
    for (const std::wstring& v : values)
      if (base::paths::SamePath(v, spelled)) return;
    values.push_back(spelled);
  };
  add(L"LocalAppData", KnownFolder(FOLDERID_LocalAppData));
  add(L"AppData", KnownFolder(FOLDERID_RoamingAppData));
  add(L"LocalLowAppData", KnownFolder(FOLDERID_LocalAppDataLow));
  add(L"UserProfile", KnownFolder(FOLDERID_Profile));
  add(L"ProgramData", KnownFolder(FOLDERID_ProgramData));
  add(L"CommonAppData", KnownFolder(FOLDERID_ProgramData));
  add(L"Public", KnownFolder(FOLDERID_Public));
  add(L"Documents", KnownFolder(FOLDERID_Documents));
  add(L"WinDir", KnownFolder(FOLDERID_Windows));
  // A 32-bit program's own lookups name only the 32-bit Program Files; on
  // 64-bit Windows the environment names the other one.
  add(L"ProgramFiles", EnvironmentValue(L"ProgramW6432"));
  add(L"ProgramFiles", KnownFolder(FOLDERID_ProgramFilesX86));
  add(L"ProgramFiles", KnownFolder(FOLDERID_ProgramFiles));
  add(L"CommonProgramFiles", EnvironmentValue(L"CommonProgramW6432"));
  add(L"CommonProgramFiles", KnownFolder(FOLDERID_ProgramFilesCommonX86));
  add(L"CommonProgramFiles", KnownFolder(FOLDERID_ProgramFilesCommon));
  add(L"Temp", base::system::TempFolder());
  const std::wstring windows = KnownFolder(FOLDERID_Windows);
  std::wstring drive = EnvironmentValue(L"SystemDrive");
  if (drive.empty() && windows.size() >= 2) drive = windows.substr(0, 2);
  // "%SystemDrive%\x": the drive as written, "C:", never "C:\".
  if (!drive.empty()) known_[base::paths::FoldCase(L"SystemDrive")] = {drive};
  wchar_t user[257] = L"";
  DWORD userLength = 257;
  if (GetUserNameW(user, &userLength)) known_[base::paths::FoldCase(L"UserName")] = {user};
}

std::vector<std::wstring> SystemVariables::Values(const std::wstring& name) const {
  const auto found = known_.find(base::paths::FoldCase(name));
  if (found != known_.end()) return found->second;
  const std::wstring value = EnvironmentValue(name);
  if (value.empty()) return {};
  return {base::paths::IsFullPath(value) ? Spelled(value) : value};
}

VariableLookup SystemVariables::Lookup() const {
  return [this](const std::wstring& name) { return Values(name); };
}

}  // namespace routines
