// The Windows Installer package's own custom actions (installer/ombrelay.wxs
// runs them from the DLL this file is built into): the install folder rule
// of install_folder.h; a stop while the installed program runs (and only
// then: a file that is merely read-only is no running program), so that the
// Installer never replaces or removes it behind the user's back; and the
// reason of a refused install written into the log.
#include <windows.h>
#include <msi.h>
#include <msiquery.h>

#include <string>

#include "base/error_trap_win.h"
#include "base/folder_listing_win.h"
#include "base/handles_win.h"
#include "base/paths.h"
#include "installer/install_folder.h"

namespace {

const wchar_t kFolderProperty[] = L"INSTALLDIR";
const wchar_t* const kPackageFiles[] = {L"ombrelay.exe", L"README.md", L"LICENSE.txt"};

// A text the Installer hands out as MsiGetProperty does: asked for its
// size first, then into room for it.
template <class Get>
std::wstring InstallerText(Get get) {
  wchar_t none[1] = L"";
  DWORD size = 0;
  if (get(none, &size) != ERROR_MORE_DATA) return {};
  std::wstring value(++size, L'\0');
  if (get(value.data(), &size) != ERROR_SUCCESS) return {};
  value.resize(size);
  return value;
}

std::wstring Property(MSIHANDLE install, const wchar_t* name) {
  return InstallerText([&](wchar_t* text, DWORD* size) { return MsiGetPropertyW(install, name, text, size); });
}

std::wstring TargetFolder(MSIHANDLE install) {
  return InstallerText(
      [&](wchar_t* text, DWORD* size) { return MsiGetTargetPathW(install, kFolderProperty, text, size); });
}

// Says `text` through the Installer: into its log, and for an error also in
// a message box with `buttons` when it shows its windows. The button the
// user clicked, 0 when none was shown (a silent install).
int Say(MSIHANDLE install, INSTALLMESSAGE kind, const std::wstring& text, UINT buttons = MB_OK) {
  PMSIHANDLE record = MsiCreateRecord(1);
  // The text goes in as a field, not as the template: a "[" in a path is
  // then no property reference.
  MsiRecordSetStringW(record, 0, L"[1]");
  MsiRecordSetStringW(record, 1, text.c_str());
  return MsiProcessMessage(install, INSTALLMESSAGE(kind | buttons), record);
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

installer::FolderLook LookAt(MSIHANDLE install, const std::wstring& folder) {
  installer::FolderLook look;
  const DWORD attributes = GetFileAttributesW(folder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return look;
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    look.kind = installer::FolderLook::kFile;
    return look;
  }
  look.kind = installer::FolderLook::kFolder;
  look.empty = true;
  // The Installer, as the looks above, reads the path without the prefix,
  // which drops each name's trailing dots and blanks: the folder it fills
  // is that reading's, so that is the one listed.
  const std::wstring filled = base::paths::WithoutTrailingDotsAndBlanks(folder);
  base::ListEntries(base::paths::WithSeparator(filled), L"*", [&](const WIN32_FIND_DATAW&) {
    look.empty = false;
    return false;
  });
  // The folder an earlier install of this package went into (the
  // registry search of the .wxs finds it).
  for (const wchar_t* last : {L"LASTUSERFOLDER", L"LASTMACHINEFOLDER"}) {
    const std::wstring earlier = Property(install, last);
    if (!earlier.empty() && base::paths::SamePath(earlier, folder)) look.holds_install = true;
  }
  for (const wchar_t* name : kPackageFiles)
    if (Exists(base::paths::JoinPath(folder, name))) look.holds_our_names = true;
  return look;
}

// What opening `exe` for writing, as the Installer would replace it, meets:
// ERROR_SUCCESS, ERROR_SHARING_VIOLATION while a program runs from it (its
// image holds it), or another refusal, such as a read-only file.
DWORD OpenForWriting(const std::wstring& exe) {
  const HANDLE opened =
      CreateFileW(exe.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  const DWORD error = opened == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
  const base::win::unique_hfile file(opened);
  return error;
}

}  // namespace

// Immediate, after CostFinalize, on a first install or an upgrade: moves the
// install folder into a folder "Ombrelay" of its own when the one given
// holds the user's files, and stops the install, before anything changed,
// when that one does too, when the folder given is a file (or one on its
// way is), or when it is no full path: every registration names the
// program by that path, and Explorer cannot start a relative one.
extern "C" UINT __stdcall ChooseFolder(MSIHANDLE install) {
  const std::wstring asked = base::paths::Qualify(TargetFolder(install));
  if (asked.empty()) return ERROR_SUCCESS;
  const installer::InstallFolder chosen =
      installer::ChooseInstallFolder(asked, [install](const std::wstring& f) { return LookAt(install, f); });
  if (chosen.refusal != installer::InstallFolder::kNone) {
    Say(install, INSTALLMESSAGE_ERROR, installer::RefusalText(asked, chosen), MB_OK | MB_ICONSTOP);
    return ERROR_INSTALL_FAILURE;
  }
  if (chosen.path == asked) return ERROR_SUCCESS;
  Say(install, INSTALLMESSAGE_INFO,
      asked + L" holds other files, so Ombrelay is installed in a folder of its own inside it: " + chosen.path);
  if (MsiSetTargetPathW(install, kFolderProperty, base::paths::WithSeparator(chosen.path).c_str()) != ERROR_SUCCESS) {
    Say(install, INSTALLMESSAGE_ERROR, L"Ombrelay cannot be installed in " + chosen.path + L". Nothing was installed.",
        MB_OK | MB_ICONSTOP);
    return ERROR_INSTALL_FAILURE;
  }
  return ERROR_SUCCESS;
}

// Immediate, just before LaunchConditions: writes the text of each launch
// condition that fails (a newer version installed, the setup program's
// install) into the log as a line of its own. The Installer then ends the
// run; a silent run, under Wine at least, would otherwise leave no word of why.
extern "C" UINT __stdcall SayFailedConditions(MSIHANDLE install) {
  PMSIHANDLE database = MsiGetActiveDatabase(install);
  PMSIHANDLE view;
  if (MsiDatabaseOpenViewW(database, L"SELECT `Condition`, `Description` FROM `LaunchCondition`", &view) !=
          ERROR_SUCCESS ||
      MsiViewExecute(view, 0) != ERROR_SUCCESS)
    return ERROR_SUCCESS;
  PMSIHANDLE row;
  while (MsiViewFetch(view, &row) == ERROR_SUCCESS) {
    const std::wstring condition =
        InstallerText([&](wchar_t* text, DWORD* size) { return MsiRecordGetStringW(row, 1, text, size); });
    if (MsiEvaluateConditionW(install, condition.c_str()) != MSICONDITION_FALSE) continue;
    PMSIHANDLE message = MsiCreateRecord(0);
    const std::wstring description =
        InstallerText([&](wchar_t* text, DWORD* size) { return MsiRecordGetStringW(row, 2, text, size); });
    MsiRecordSetStringW(message, 0, description.c_str());
    Say(install, INSTALLMESSAGE_INFO,
        InstallerText([&](wchar_t* text, DWORD* size) { return MsiFormatRecordW(install, message, text, size); }));
  }
  return ERROR_SUCCESS;
}

// Immediate, before InstallValidate, for every install, repair, upgrade and
// removal: while Ombrelay runs from the install folder, asks for it to be
// closed (Retry, Cancel); silent, or on Cancel, ends the whole run before
// anything was changed.
extern "C" UINT __stdcall WaitForProgramClosed(MSIHANDLE install) {
  const std::wstring folder = base::paths::Qualify(TargetFolder(install));
  if (folder.empty()) return ERROR_SUCCESS;
  const std::wstring exe = base::paths::JoinPath(folder, L"ombrelay.exe");
  DWORD error;
  while ((error = OpenForWriting(exe)) == ERROR_SHARING_VIOLATION) {
    const int answer =
        Say(install, INSTALLMESSAGE_ERROR, L"Ombrelay is running from " + folder + L". Close it, then click Retry.",
            MB_RETRYCANCEL | MB_ICONEXCLAMATION);
    if (answer == IDRETRY) continue;
    Say(install, INSTALLMESSAGE_INFO, L"Ombrelay is running from " + folder + L": nothing was changed.");
    return answer == IDCANCEL ? ERROR_INSTALL_USEREXIT : ERROR_INSTALL_FAILURE;
  }
  // Any other refusal is no sign of a running program: it is said as it
  // is, and the Installer's own steps deal with the file (they clear a
  // read-only attribute) or say why they cannot.
  if (error != ERROR_SUCCESS && error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
    Say(install, INSTALLMESSAGE_INFO,
        exe + L" does not open for writing (" + base::trap::SystemMessage(error) +
            L"), so whether Ombrelay runs "
            L"from it is not known; the Installer goes on.");
  return ERROR_SUCCESS;
}
