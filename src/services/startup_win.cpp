// Start-up services: the About item's caption,
// the update check against the maker's version file and the first-run
// disclaimer. The update check and the disclaimer may ask for the program's
// end (base::EndProgram); the start-up then goes no further.
#include "services/startup_win.h"

#include "base/error_trap_win.h"
#include "base/program_win.h"
#include "base/window_job_win.h"
#include "base/window_win.h"
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

// The version file only when its whole answer came: a part of it could
// offer a version or an address cut short, and an error page none.
std::wstring FetchVersionFile(const std::wstring& address) {
  CheckVersion().SetTimeLimit(kUpdateCheckLimitMs);
  FetchResult fetched = CheckVersion().Fetch(address, L"");
  return fetched.ok && CheckVersion().Status() == HTTP_STATUS_OK ? std::move(fetched.text) : std::wstring();
}

}  // namespace

std::wstring UpdateAddress() {
  const std::wstring configured = GetSetting(L"UpdateURL");
  return configured.empty() ? std::wstring(kUpdateURL) : configured;
}

bool CheckForUpdate(HWND owner, const std::wstring& versionFile) {
  const UpdateOffer offer = ReadVersionFile(versionFile, kCurrentVersion);
  if (!offer.offer) return true;
  const std::wstring text = kOfferStart + offer.address + kOfferEnd;
  const int answer = MessageBoxW(owner, text.c_str(), L"New Version", MB_YESNOCANCEL | MB_ICONINFORMATION);
  if (base::Ending()) return false;
  // Only web addresses go to the shell: the file must not start programs.
  // The shell tells the user itself when it cannot open the address.
  if (answer == IDYES && offer.canOpen) OpenInternet(owner, offer.address, ShowOnly);
  if (!offer.mustDownload) return true;
  base::EndProgram();
  return false;
}

bool AskDisclaimer(HWND owner) {
  const std::wstring valueName = kAppName + std::wstring(L"FirstTime");
  if (!GetSetting(valueName).empty()) return true;
  const int answer = MessageBoxW(owner, kDisclaimer, L"Agreement", MB_YESNOCANCEL | MB_ICONQUESTION);
  if (base::Ending()) return false;
  if (answer != IDYES) {
    base::EndProgram();
    return false;
  }
  // Not remembered, the question only comes again at the next start.
  SaveSetting(valueName, L"No");
  return true;
}

// The offer and the disclaimer, then `then` unless one of them asked for
// the program's end (a failure the trap reports leaves out the rest of the
// two, and the start-up goes on).
void CarryOn(HWND owner, const std::wstring& versionFile, const std::function<void()>& then) {
  base::trap::Guard([&] {
    if (!ST(CheckForUpdate(owner, versionFile))) return;
    ST(AskDisclaimer(owner));
  });
  if (!base::Ending() && then) then();
}

// A message-only window that takes the fetch's end and carries the
// start-up on from there.
class VersionFetch : public base::Window {
 public:
  // The fetch asks `address` for the version file.
  bool Start(HWND owner, const std::wstring& address, std::function<void()> then) {
    base::WindowSpec spec{kFetchClass, L"", 0, 0, HWND_MESSAGE};
    spec.navigation = false;
    if (!hwnd_ && !Create(spec)) return false;
    owner_ = owner;
    then_ = std::move(then);
    auto work = [this, address](base::WindowJob&) { versionFile_ = FetchVersionFile(address); };
    job_ = base::WindowJob::Start(hwnd_, kMsgFetchProgress, kMsgFetched, std::move(work));
    return job_ != nullptr;
  }

 private:
  static constexpr wchar_t kFetchClass[] = L"OmbrelayVersionFetch";
  static constexpr UINT kMsgFetchProgress = WM_APP + 50;
  static constexpr UINT kMsgFetched = WM_APP + 51;

  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg != kMsgFetched) return Window::OnMessage(msg, wp, lp);
    if (job_ && job_->Ended()) Fetched();
    return 0;
  }

  // A fetch that failed is reported; the start-up goes on without the
  // version file, as after a fetch that found none.
  void Fetched() {
    base::trap::Guard([&] { job_->ThrowFailure(); });
    job_.reset();
    const std::function<void()> then = std::move(then_);
    CarryOn(owner_, versionFile_, then);
  }

  HWND owner_ = nullptr;
  std::function<void()> then_;
  std::shared_ptr<base::WindowJob> job_;
  std::wstring versionFile_;  // written by the fetch before its end message
};

void StartUp(HWND owner, const std::function<void(const std::wstring&)>& setAboutCaption, std::function<void()> then) {
  static VersionFetch fetch;
  bool constants = false;
  bool fetching = false;
  base::trap::Guard([&] {
    const std::wstring address = ST(UpdateAddress());
    ST(setAboutCaption(L"About " + std::wstring(kAppName)));
    constants = true;
    fetching = ST(fetch.Start(owner, address, then));
  });
  if (fetching) return;
  // A fetch that could not start makes no offer, but the disclaimer is
  // still asked before the program is used.
  if (constants) {
    CarryOn(owner, std::wstring(), then);
  } else if (then) {
    then();
  }
}

}  // namespace services
