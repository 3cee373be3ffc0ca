// The routines file's settings, its kept copy and its update.
#include "app/routines_update_win.h"

#include <windows.h>

#include "base/atomic_write_win.h"
#include "base/error_trap_win.h"
#include "base/paths.h"
#include "base/paths_win.h"
#include "base/texts_win.h"
#include "routines/routines_file.h"
#include "services/http_win.h"
#include "services/registry_win.h"

namespace app {
namespace {

const wchar_t kFileValue[] = L"RoutinesFile";
const wchar_t kAddressValue[] = L"RoutinesURL";
// The flavour the community project publishes for cleaning tools in general.
const wchar_t kDefaultAddress[] =
    L"https://raw.githubusercontent.com/MoscaDotTo/Winapp2/master/Non-CCleaner/Winapp2.ini";
const wchar_t kKeptName[] = L"Winapp2.ini";
constexpr DWORD kFetchLimitMs = 120000;

std::wstring Unchanged(const std::wstring& kept) {
  const bool there = !kept.empty() && GetFileAttributesW(base::paths::Verbatim(kept).c_str()) != INVALID_FILE_ATTRIBUTES;
  return there ? L"The kept file " + kept + L" stays as it was." : std::wstring(L"Nothing was changed.");
}

}  // namespace

std::wstring RememberedRoutinesFile() {
  return services::GetString(HKEY_CURRENT_USER, services::kSettingsKey, kFileValue);
}

void RememberRoutinesFile(const std::wstring& path) {
  services::SaveString(HKEY_CURRENT_USER, services::kSettingsKey, kFileValue, path);
}

std::wstring RoutinesAddress() {
  const std::wstring configured = services::GetString(HKEY_CURRENT_USER, services::kSettingsKey, kAddressValue);
  return configured.empty() ? std::wstring(kDefaultAddress) : configured;
}

std::wstring KeptRoutinesPath() {
  const std::wstring own = base::paths::OwnLocalFolder();
  return own.empty() ? own : base::paths::JoinPath(own, kKeptName);
}

RoutinesUpdate UpdateRoutines() {
  RoutinesUpdate update;
  const std::wstring address = RoutinesAddress();
  const std::wstring kept = KeptRoutinesPath();
  services::HttpClient client;
  client.SetQuiet(true);
  client.SetTimeLimit(kFetchLimitMs);
  client.SetMostBytes(routines::kMostFileBytes);
  const services::FetchResult fetched = client.Fetch(address, L"");
  if (!fetched.ok || client.Status() != HTTP_STATUS_OK) {
    const std::wstring why = client.Status() != 0 && client.Status() != HTTP_STATUS_OK
                                 ? L"the server answered " + std::to_wstring(client.Status())
                                 : !client.LastError().empty() ? client.LastError() : L"the answer did not come whole";
    update.message = L"The routines could not be fetched from\n" + address + L"\n(" + why + L"). " + Unchanged(kept);
    return update;
  }
  const routines::RoutinesFile file = routines::ReadRoutines(fetched.bytes);
  if (!file.problem.empty()) {
    update.message = L"What came from\n" + address + L"\nis no routines file. " + file.problem + L" " + Unchanged(kept);
    return update;
  }
  if (kept.empty()) {
    update.message = L"The folder for the routines file is not known. " + Unchanged(kept);
    return update;
  }
  CreateDirectoryW(base::paths::ParentOf(kept).c_str(), nullptr);  // there already, or made now
  const DWORD error = base::files::WriteWholeFile(kept, fetched.bytes);
  if (error != ERROR_SUCCESS) {
    update.message = L"The routines file\n" + kept + L"\ncould not be written: " + base::trap::SystemMessage(error) +
                     L". " + Unchanged(kept);
    return update;
  }
  update.ok = true;
  update.path = kept;
  update.message = L"The routines were updated from\n" + address + L"\n" +
                   base::text::Counted(file.entries.size(), L"entry", L"entries", base::text::UserNumberStyle()) +
                   L", kept in " + kept + L".";
  return update;
}

}  // namespace app
