// Start-up services: the application constants, the About item's caption,
// the update check against the maker's version file and the first-run
// disclaimer. The update check and the disclaimer may end the program.
#include "services/startup_win.h"

#include "base/error_trap_win.h"
#include "base/program_win.h"
#include "services/app_constants.h"
#include "services/http_win.h"
#include "services/registry_win.h"
#include "services/shell_open_win.h"
#include "services/version_number.h"

namespace services {
namespace {

constexpr int ShowOnly = SW_SHOW;
// The whole fetch of the version file: start-up never waits longer.
constexpr DWORD kUpdateCheckLimitMs = 4000;

const wchar_t kOfferStart[] = L"New version is available at: ";
const wchar_t kOfferEnd[] = L". Do you wish to go there now?";
const wchar_t kDisclaimer[] =
    L"Use this application at your own risk. Farrowdene Inc is not responsible for any loss of data or any data "
    L"corruption. Do you agree to this?";

HttpClient& CheckVersion() {
  static HttpClient fetcher;
  return fetcher;
}

std::wstring FetchVersionFile() {
  std::wstring data;
  bool readToString = true;
  CheckVersion().SetTimeLimit(kUpdateCheckLimitMs);
  CheckVersion().GetFile(UpdateURL, L"", data, readToString, L"");
  return data;
}

}  // namespace

void ApplyUpdateUrlSetting() {
  const std::wstring configured = GetString(HKEY_CURRENT_USER, MainKey, L"UpdateURL");
  if (!configured.empty()) UpdateURL = configured;
}

void CheckForUpdate(HWND owner) {
  const UpdateOffer offer = ReadVersionFile(FetchVersionFile(), CurrentVersion);
  if (!offer.offer) return;
  const std::wstring text = kOfferStart + offer.address + kOfferEnd;
  const int answer = MessageBoxW(owner, text.c_str(), L"New Version", MB_YESNOCANCEL | MB_ICONINFORMATION);
  // Only web addresses go to the shell: the file must not start programs.
  if (answer == IDYES && offer.canOpen) OpenInternet(owner, offer.address, ShowOnly);
  if (offer.mustDownload) base::EndProgram();
}

void AskDisclaimer(HWND owner) {
  const std::wstring valueName = Appname + L"FirstTime";
  if (!GetString(HKEY_CURRENT_USER, MainKey, valueName).empty()) return;
  if (MessageBoxW(owner, kDisclaimer, L"Agreement", MB_YESNOCANCEL | MB_ICONQUESTION) != IDYES) base::EndProgram();
  SaveString(HKEY_CURRENT_USER, MainKey, valueName, L"No");
}

void StartUp(HWND owner, const std::function<void(const std::wstring&)>& setAboutCaption) {
  base::trap::Guard([&] {
    ST(SetAppConstants());
    ST(ApplyUpdateUrlSetting());
    ST(setAboutCaption(L"About " + Appname));
    ST(CheckForUpdate(owner));
    ST(AskDisclaimer(owner));
  });
}

}  // namespace services
