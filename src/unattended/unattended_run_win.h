// A removal run started by itself (at sign-in, by the Task Scheduler): no
// window, no question, background priority, one run per list at a time, and
// only for the very bytes the user approved. Every start leaves an entry in
// the run log.
#pragma once
#include <string>

namespace unattended {

// Runs the list the argument text names; gives the program's exit code
// (0: the run went through, 1: it removed nothing).
int RunUnattended(const std::wstring& arguments);

// The uninstaller's step: removes every Run value and task that approvals
// made, and every other that starts the installed program unattended. Its
// argument text is "/forget-unattended-starts", then the installed
// program's path, quoted: the uninstaller runs a copy of the program from
// elsewhere. Without the path, this program's own is meant.
bool IsForgetStarters(const std::wstring& arguments);
int ForgetStarters(const std::wstring& arguments);

}  // namespace unattended
