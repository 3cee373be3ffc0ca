// Where the routines window's file comes from: the file remembered in the
// settings, the kept copy in %LOCALAPPDATA%\Ombrelay, and "Update routines",
// which fetches the newest file from the address in the settings, checks
// that it reads as a routines file and only then puts it in place of the
// kept one, in one step.
#pragma once
#include <string>

namespace app {

// The settings' values (under the program's key): the routines file last
// opened, and the address "Update routines" fetches.
std::wstring RememberedRoutinesFile();
void RememberRoutinesFile(const std::wstring& path);
std::wstring RoutinesAddress();

// %LOCALAPPDATA%\Ombrelay\Winapp2.ini; empty when the folder is unknown.
std::wstring KeptRoutinesPath();

struct RoutinesUpdate {
  bool ok = false;
  std::wstring path;     // the kept file, when it was replaced
  std::wstring message;  // for the user, either way
  // Asked before the kept file is replaced (the fetched file holds far
  // fewer entries); the fetched file then waits in `waiting`.
  std::wstring question;
  std::string waiting;
  size_t entries = 0;  // the fetched file's
  std::wstring from;   // its address
};

// Blocks until the fetch has ended: a worker's call. The kept file is
// replaced only by a whole answer (HTTP 200) that reads as a routines file
// with at least one entry understood; anything else leaves it as it was.
// One with far fewer entries than the kept file comes back with a question
// instead and replaces nothing yet.
RoutinesUpdate UpdateRoutines();
// Keeps the file an update's question held back, once the user said yes:
// a worker's call.
RoutinesUpdate KeepAsked(const RoutinesUpdate& asked);

}  // namespace app
