// Start-up services, run once early in the main window's load step.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace services {

// About caption, update check, disclaimer, in that order; owner
// is the main window, setAboutCaption names its About item. The version
// file is fetched on a thread of its own while the window's message loop
// runs; the offer and the disclaimer follow on the window's thread, then
// `then` runs (once, unless one of them asks for the program's end). When
// the fetch cannot start, there is no offer, and the disclaimer and `then`
// follow at once. A failure of the first steps leaves out the rest and runs
// `then` at once.
void StartUp(HWND owner, const std::function<void(const std::wstring&)>& setAboutCaption, std::function<void()> then);

// The version file's address: a non-empty text value UpdateURL under the
// program's key, else the built-in one. Read at each check, so a changed
// setting counts from the next start-up on.
std::wstring UpdateAddress();
// Offers a newer version when the fetched version file names one. False
// when the start-up must go no further: the file says the old version must
// not run, and the program's end has been asked for (or was already).
bool CheckForUpdate(HWND owner, const std::wstring& versionFile);
// Asks for acceptance on first use. False when it is refused: the
// program's end has been asked for (or was already).
bool AskDisclaimer(HWND owner);

}  // namespace services
