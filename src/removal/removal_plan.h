// What a removal run works on and what it tells the user, kept apart from
// the window and the file system: the list path on the command line, the
// password check, the order of the two passes and the texts of the
// confirmation and the closing report.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "listfile/list_file.h"

namespace removal {

// The list path: the second "*"-separated piece of the argument text
// (empty when there is none). Blanks need no quoting.
std::wstring ListPathFromArguments(const std::wstring& arguments);

// The stored password without leading and trailing blanks (character 32
// only; tabs and other characters stay).
std::wstring TrimBlanks(const std::wstring& text);
// The typed text, exactly as typed, against the trimmed stored password;
// case-sensitive.
bool PasswordMatches(const std::wstring& typed, const std::wstring& stored);

// The paths of both passes, each from the last record to the first, chosen
// by the type word alone ("File" or "Folder", exactly).
struct Plan {
  std::vector<std::wstring> files;
  std::vector<std::wstring> folders;
};
Plan MakePlan(const std::vector<listfile::Record>& records);

// "Are you sure you wish to remove your files?" and a line saying how many
// files and folders the list names.
std::wstring ConfirmationText(const Plan& plan, const std::wstring& listPath);

// The message for a list file that cannot be read.
std::wstring UnreadableListText(const std::wstring& listPath, const std::wstring& reason);

// Why an item stayed: a short reason for the usual error codes, otherwise
// the platform's own text for the code.
std::wstring ReasonText(unsigned long code, bool readOnly, const std::wstring& systemText);

// One listed item that is still there after the passes.
struct Leftover {
  std::wstring path;
  std::wstring reason;
};
// The closing message when something stayed: how many, and the first
// `shown` of them with their reasons.
constexpr size_t kShownLeftovers = 20;
std::wstring LeftoverReport(const std::vector<Leftover>& leftovers, size_t shown = kShownLeftovers);

}  // namespace removal
