// The program's constants; the version text comes from the header CMake
// generates from the project's version.
#include "services/app_constants.h"

#include "version.h"

namespace services {

const wchar_t kAppName[] = L"Ombrelay";
const wchar_t kCurrentVersion[] = L"" OMBRELAY_VERSION_TEXT;
const wchar_t kUpdateURL[] = L"http://www.farrowdene.example/AppVersions/OmbrelayVersion.txt";

std::wstring MainTitle() { return std::wstring(kAppName) + L" " + kCurrentVersion; }

}  // namespace services
