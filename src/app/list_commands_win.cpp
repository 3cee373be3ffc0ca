// "Save List" and "Load List": the dialogs, messages and status texts around
// the delete-list file. The file's format lives in list_file.h.
#include <windows.h>

#include <commdlg.h>

#include <utility>

#include "app/add_texts.h"
#include "app/commands_win.h"
#include "app/main_window_win.h"
#include "base/error_trap_win.h"
#include "base/file_io.h"
#include "base/paths.h"
#include "base/paths_win.h"
#include "base/sha256_win.h"
#include "base/texts_win.h"
#include "dialogs/file_dialogs_win.h"
#include "listfile/list_file.h"
#include "listfile/protected_places_win.h"
#include "listfile/shell_links_win.h"
#include "listfile/shortcut_plan.h"

namespace app {
namespace {

// Both dialogs are set up alike; the save also asks before it replaces a file.
constexpr DWORD kListDialogFlags = OFN_EXPLORER | OFN_LONGNAMES | OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT;
constexpr DWORD kSaveDialogFlags = kListDialogFlags | OFN_OVERWRITEPROMPT;

void Inform(MainWindow& window, const wchar_t* text, const wchar_t* title, UINT icon = MB_ICONINFORMATION) {
  MessageBoxW(window.hwnd(), text, title, MB_OK | icon);
}

dialogs::FileDialogSettings DialogSettings(const wchar_t* title, DWORD flags) {
  dialogs::FileDialogSettings settings;
  settings.filter = dialogs::AllFilesFilter();
  settings.flags = flags;
  settings.title = title;
  settings.initialFolder = base::paths::WithSeparator(base::paths::ProgramFolder());
  return settings;
}

// The first chosen file's full path; further names are ignored.
std::wstring ChosenPath(const dialogs::FileDialogResult& answer) {
  if (answer.cancelled || answer.count < 1 || answer.names.size() < 2) return std::wstring();
  return base::paths::JoinPath(answer.folder, answer.names[1]);
}

// Each record is kept as it is, so that saving the list again gives the
// same bytes; each piece is let go once taken, so a long list is not held
// twice.
void Fill(DeleteList& list, std::vector<std::wstring>& records) {
  list.Clear();
  list.Reserve(records.size());
  for (std::wstring& r : records) list.AppendRecord(std::exchange(r, std::wstring()));
}

// A loaded list that names protected folders as folders to remove is kept,
// with one warning. Only "Folder" records are looked at, and only those no
// deeper than a protected folder reach the disk, so long lists load quickly.
void WarnOfProtectedFolders(MainWindow& window) {
  listfile::ProtectedPlaces places;
  std::vector<listfile::Finding> findings;
  for (const Entry& e : window.List().Entries()) {
    if (e.kind != listfile::RecordKind::Folder) continue;
    if (const std::optional<listfile::Place> place = places.FindIfShallow(e.path)) findings.push_back({e.path, *place});
  }
  if (!findings.empty())
    Inform(window, listfile::LoadWarningText(findings, base::text::UserNumberStyle()).c_str(), listfile::kTitle,
           MB_ICONWARNING);
}

// A desktop that refuses the shortcut is a plain failure: the list itself
// was saved, and the user is told so with the reason.
bool PlaceShortcut(const std::wstring& listPath, listfile::PlacedShortcut& placed, std::wstring& reason) {
  const std::wstring program = base::paths::ProgramPath();
  if (program.empty()) {
    reason = base::trap::SystemMessage(GetLastError());
    return false;
  }
  return listfile::PlaceRemovalShortcut(program, listPath, placed, reason);
}

}  // namespace

void SaveListCommand(MainWindow& window) {
  base::trap::Guard([&] {
    if (window.List().Empty()) return Inform(window, L"You have not selected any files.", L"Files");
    const std::wstring password = ST(window.ControlText(kPasswordEdit));
    if (password.empty()) return Inform(window, L"Please enter a password.", L"Password");
    if (password.find(L'*') != std::wstring::npos)
      return Inform(window, listfile::kPasswordWithStarText, L"Password", MB_ICONEXCLAMATION);
    const dialogs::FileDialogSettings settings = ST(DialogSettings(L"Save list", kSaveDialogFlags));
    const dialogs::FileDialogResult answer = ST(dialogs::ShowSave(window.hwnd(), settings));
    const std::wstring listPath = ChosenPath(answer);
    if (listPath.empty()) return;
    const std::string bytes = ST(listfile::EncodeRecordTexts(window.List().RecordTexts(), password));
    std::wstring why;
    if (!ST(base::files::WriteAll(listPath, bytes, why)))
      return Inform(window, listfile::SaveFailedText(listPath, why).c_str(), L"Files", MB_ICONEXCLAMATION);
    ST(window.SetStatus(ItemsSavedText(window.List().Count())));
    ST(window.SetListFile(listPath, base::Sha256Hex(bytes)));
    listfile::PlacedShortcut placed;
    std::wstring reason;
    if (!ST(PlaceShortcut(listPath, placed, reason)))
      Inform(window, listfile::ShortcutFailedText(listPath, reason).c_str(), L"Shortcut", MB_ICONEXCLAMATION);
    else
      Inform(window, listfile::ShortcutPlacedText(placed.name, placed.firstName).c_str(), L"Shortcut");
    ST(OfferReapproval(window, listPath, bytes));
  });
}

// The file is read whole before the list is touched, so a file that cannot
// be read (missing, held by another program, refused, not a list at all)
// leaves the list and the status as they were, with a plain message.
void LoadListCommand(MainWindow& window) {
  base::trap::Guard([&] {
    const dialogs::FileDialogSettings settings = ST(DialogSettings(L"Find list to open", kListDialogFlags));
    const dialogs::FileDialogResult answer = ST(dialogs::ShowOpen(window.hwnd(), settings));
    const std::wstring listPath = ChosenPath(answer);
    if (listPath.empty()) return;
    std::string bytes;
    std::wstring reason;
    if (!ST(listfile::ReadListFile(listPath, bytes, reason)))
      return Inform(window, listfile::LoadFailedText(listPath, reason).c_str(), L"Files", MB_ICONEXCLAMATION);
    const std::wstring digest = base::Sha256Hex(bytes);
    listfile::ListContent loaded = ST(listfile::ReadListTexts(std::move(bytes)));
    ST(Fill(window.List(), loaded.records));
    window.ListChanged();
    ST(window.SetStatus(ItemsLoadedText(window.List().Count())));
    ST(window.SetListFile(listPath, digest));
    ST(WarnOfProtectedFolders(window));
  });
}

}  // namespace app
