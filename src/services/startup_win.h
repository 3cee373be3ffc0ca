// Start-up services, run once early in the main window's load step.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace services {

// Constants, About caption, update check, disclaimer, in that order; owner
// is the main window, setAboutCaption names its About item.
void StartUp(HWND owner, const std::function<void(const std::wstring&)>& setAboutCaption);

// A non-empty text value UpdateURL under the program's key replaces the
// built-in address of the version file.
void ApplyUpdateUrlSetting();
// Fetches the version file and offers a newer version; ends the program
// when the file says the old one must not run.
void CheckForUpdate(HWND owner);
// Asks for acceptance on first use; ends the program when it is refused.
void AskDisclaimer(HWND owner);

}  // namespace services
