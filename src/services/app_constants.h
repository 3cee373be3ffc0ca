// The application constants, set once at start-up and read everywhere.
#pragma once
#include <string>

namespace services {

extern std::wstring Appname;
extern std::wstring CurrentVersion;
extern std::wstring MainKey;
// Where the update check finds the version file.
extern std::wstring UpdateURL;

// Sets the constants (the first step of the start-up services).
void SetAppConstants();
// "Ombrelay 1.02": the main window's title.
std::wstring MainTitle();

}  // namespace services
