// The approvals the user gave, kept under HKEY_CURRENT_USER\SOFTWARE\FD\Approvals
// (services::kApprovalsKey): one value per list, named by the list's full
// path, holding the approval's text. Also the note of unattended runs that found their
// approval broken, which the main window shows once at its next start.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "unattended/approval.h"

namespace unattended {

// The approval of the list at that path (however spelt), if any that reads.
std::optional<Approval> FindApproval(const std::wstring& listPath);
// Every approval that reads.
std::vector<Approval> AllApprovals();
// Keeps the approval in place of any the list had. False when the
// settings could not be written.
bool KeepApproval(const Approval& approval);
// Forgets the list's approval. False when it stays in the settings.
bool DropApproval(const std::wstring& listPath);

// Adds one line to the note of broken approvals (the last few are kept).
void NoteBrokenApproval(const std::wstring& line);
// The note's lines, and the note is gone.
std::vector<std::wstring> TakeBrokenApprovals();

}  // namespace unattended
