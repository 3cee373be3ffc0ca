// The routines file's settings, its kept copy and its update.
#include "app/routines_update_win.h"

#include <windows.h>

#include "base/file_io.h"
#include "base/paths.h"
#include "base/paths_win.h"
#include "base/texts.h"
#include "base/texts_win.h"
#include "routines/routines_file.h"
#include "routines/routines_update.h"
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
  const bool there =
      !kept.empty() && GetFileAttributesW(base::paths::Verbatim(kept).c_str()) != INVALID_FILE_ATTRIBUTES;
  return there ? L"The kept file " + kept + L" stays as it was." : std::wstring(L"Nothing was changed.");
}

}  // namespace

std::wstring RememberedRoutinesFile() { return services::GetSetting(kFileValue); }

void RememberRoutinesFile(const std::wstring& path) { services::SaveSetting(kFileValue, path); }

std::wstring RoutinesAddress() {
  const std::wstring configured = services::GetSetting(kAddressValue);
  return configured.empty() ? std::wstring(kDefaultAddress) : configured;
}

std::wstring KeptRoutinesPath() {
  const std::wstring own = base::paths::OwnLocalFolder();
  return own.empty() ? own : base::paths::JoinPath(own, kKeptName);
}

namespace {

RoutinesUpdate Keep(const std::string& bytes, size_t entries, const std::wstring& address) {
  RoutinesUpdate update;
  const std::wstring kept = KeptRoutinesPath();
  if (kept.empty()) {
    update.message = L"The folder for the routines file is not known. " + Unchanged(kept);
    return update;
  }
  CreateDirectoryW(base::paths::ParentOf(kept).c_str(), nullptr);  // there already, or made now
  std::wstring reason;
  if (!base::files::WriteAll(kept, bytes, reason)) {
    update.message = L"The routines file\n" + kept + L"\ncould not be written: " + reason + L". " + Unchanged(kept);
    return update;
  }
  update.ok = true;
  update.path = kept;
  update.message = L"The routines were updated from\n" + address + L"\n" +
                   base::text::Counted(entries, L"entry", L"entries", base::text::UserNumberStyle()) + L", kept in " +
                   kept + L".";
  return update;
}

}  // namespace

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
                             : !fetched.notWhole.empty()   ? fetched.notWhole
                             : !client.LastError().empty() ? client.LastError()
                                                           : L"the answer did not come whole";
    update.message = L"The routines could not be fetched from\n" + address + L"\n(" + why + L"). " + Unchanged(kept);
    return update;
  }
  std::string keptBytes;
  std::wstring reason;
  if (!kept.empty() && !base::files::ReadAll(kept, keptBytes, reason))
    keptBytes.clear();  // none kept yet, or unreadable
  const routines::UpdateCheck check = routines::CheckUpdate(fetched.bytes, keptBytes);
  if (!check.fetched.problem.empty()) {
    update.message =
        L"What came from\n" + address + L"\nis no routines file. " + check.fetched.problem + L" " + Unchanged(kept);
    return update;
  }
  if (check.askFirst) {
    update.question = routines::FewerEntriesQuestion(check, address, base::text::UserNumberStyle());
    update.waiting = fetched.bytes;
    update.entries = check.fetched.entries.size();
    update.from = address;
    return update;
  }
  return Keep(fetched.bytes, check.fetched.entries.size(), address);
}

RoutinesUpdate KeepAsked(const RoutinesUpdate& asked) { return Keep(asked.waiting, asked.entries, asked.from); }

}  // namespace app
