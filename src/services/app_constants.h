// The program's name, version and the address of its version file: fixed
// when the program is built, so no start-up path has to set them first.
#pragma once
#include <string>

namespace services {

// "Ombrelay": the windows' titles and the first-run value's name.
extern const wchar_t kAppName[];
// "1.02": the build's version (the same text the version resource holds).
extern const wchar_t kCurrentVersion[];
// Where the update check finds the version file unless the settings'
// UpdateURL value names another address (see startup_win.h).
extern const wchar_t kUpdateURL[];

// "Ombrelay 1.02": the main window's title.
std::wstring MainTitle();

}  // namespace services
