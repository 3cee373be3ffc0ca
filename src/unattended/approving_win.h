// Giving and withdrawing a list's approval to run by itself, with the Run
// value or scheduled task that starts it. The approval and its starter are
// made together or not at all.
#pragma once
#include <string>

#include "unattended/approval.h"

namespace unattended {

// Approves the list file's bytes as they are (the caller read them and
// checked the password they hold) for the schedule, replacing the list's
// earlier approval and starter. False with `problem` set when the starter
// or the approval could not be made (the list then has neither), or when a
// starter of the earlier approval could not be removed (nothing is changed
// then).
bool Approve(const std::wstring& listPath, const std::string& bytes, const Schedule& schedule, bool recycle,
             std::wstring& problem);
// Removes the list's approval, its Run value and its task, and any other
// Run value or task that starts this program unattended on that list: the
// approval that named them may no longer read. False, with `problem`
// saying what stayed, when any of them could not be removed.
bool Withdraw(const std::wstring& listPath, std::wstring& problem);
// Removes every Run value and task that an approval made, and every other
// that starts `program` (the installed ombrelay.exe) unattended on any list
// (the uninstaller's step); the approvals themselves stay with the
// settings, and starters of other programs stay.
void RemoveAllStarters(const std::wstring& program);

}  // namespace unattended
