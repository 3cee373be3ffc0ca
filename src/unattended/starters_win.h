// What starts a list by itself: a value under the user's Run key (at
// sign-in) or a task of the user's in the Task Scheduler's folder
// "Ombrelay" (on a schedule). Each call makes, reads or removes one.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "unattended/approval.h"

namespace unattended {

// The Task Scheduler folder of Ombrelay's tasks.
extern const wchar_t kTaskFolder[];

// The Run value `name` with the command line "<program>" <arguments>.
bool SetSignInValue(const std::wstring& name, const std::wstring& program, const std::wstring& arguments);
// True when the value is gone (or was never there).
bool RemoveSignInValue(const std::wstring& name);
bool SignInValueExists(const std::wstring& name);

// Tells a starter of Ombrelay's by its program and argument text.
using StarterTest = std::function<bool(const StartCommand& command)>;
// Removes every Run value whose command line passes the test, whatever its
// name: a starter is found even when the approval that named it no longer
// reads. False when one of them stays (or the Run key cannot be opened).
bool RemoveSignInValuesWhere(const StarterTest& ours);

// Registers (or replaces) the task `name` from its XML definition, to run
// as the signed-in user only. Needs COM on the calling thread.
HRESULT RegisterScheduledTask(const std::wstring& name, const std::wstring& xml);
// Removes the task, then the folder once it holds no task. A task (or
// folder) that is not there is removed already.
HRESULT DeleteScheduledTask(const std::wstring& name);
bool ScheduledTaskExists(const std::wstring& name);
// Removes every task in Ombrelay's folder that starts a command passing the
// test (and the folder once it holds no task). The first failure when one
// of them stays; S_FALSE when the Task Scheduler could not be asked (none
// is known to be there). Needs COM on the calling thread.
HRESULT DeleteScheduledTasksWhere(const StarterTest& ours);

}  // namespace unattended
