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
// made. Its argument text is exactly kForgetStartersArguments.
extern const wchar_t kForgetStartersArguments[];
int ForgetStarters();

}  // namespace unattended
