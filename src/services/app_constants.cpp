// Application constants.
#include "services/app_constants.h"

#include "version.h"

namespace services {

std::wstring Appname;
std::wstring CurrentVersion;
std::wstring MainKey;
std::wstring UpdateURL;

void SetAppConstants() {
  Appname = L"Ombrelay";
  CurrentVersion = L"" OMBRELAY_VERSION_TEXT;
  MainKey = L"SOFTWARE\\FD";
  UpdateURL = L"http://www.farrowdene.example/AppVersions/" + Appname + L"Version.txt";
}

std::wstring MainTitle() { return Appname + L" " + CurrentVersion; }

}  // namespace services
