// Removal run logic that needs no file system: command line, password,
// pass order and the texts shown to the user.
#include "removal/removal_plan.h"

#include "listfile/text_utils.h"

namespace removal {
namespace {

// Win32 error codes the closing report explains in its own words.
constexpr unsigned long kAccessDenied = 5;
constexpr unsigned long kSharingViolation = 32;
constexpr unsigned long kLockViolation = 33;
constexpr unsigned long kDirNotEmpty = 145;
constexpr unsigned long kNotADirectory = 267;
constexpr unsigned long kWriteProtect = 19;

std::wstring Counted(size_t n, const wchar_t* one, const wchar_t* many) {
  return std::to_wstring(n) + L' ' + (n == 1 ? one : many);
}

}  // namespace

std::wstring ListPathFromArguments(const std::wstring& arguments) {
  std::vector<std::wstring> pieces;
  textutil::SplitString(arguments, L'*', pieces);
  return pieces.size() > 1 ? pieces[1] : std::wstring();
}

std::wstring TrimBlanks(const std::wstring& text) {
  const size_t first = text.find_first_not_of(L' ');
  if (first == std::wstring::npos) return std::wstring();
  return text.substr(first, text.find_last_not_of(L' ') - first + 1);
}

bool PasswordMatches(const std::wstring& typed, const std::wstring& stored) { return typed == TrimBlanks(stored); }

Plan MakePlan(const std::vector<listfile::Record>& records) {
  Plan plan;
  for (auto r = records.rbegin(); r != records.rend(); ++r) {
    if (r->type == L"File") plan.files.push_back(r->path);
    else if (r->type == L"Folder") plan.folders.push_back(r->path);
  }
  return plan;
}

std::wstring ConfirmationText(const Plan& plan, const std::wstring& listPath) {
  return L"Are you sure you wish to remove your files?\n" + Counted(plan.files.size(), L"file", L"files") + L" and " +
         Counted(plan.folders.size(), L"folder", L"folders") + L" are listed in " + listPath;
}

std::wstring UnreadableListText(const std::wstring& listPath, const std::wstring& reason) {
  const std::wstring name = listPath.empty() ? std::wstring(L"(no list file was named)") : listPath;
  return L"The delete list cannot be read:\n" + name + L"\n" + reason + L"\n\nNothing has been removed.";
}

std::wstring ReasonText(unsigned long code, bool readOnly, const std::wstring& systemText) {
  switch (code) {
    case kAccessDenied:
      return readOnly ? L"read-only" : L"access denied";
    case kSharingViolation:
    case kLockViolation:
      return L"in use by another program";
    case kDirNotEmpty:
      return L"folder not empty";
    case kNotADirectory:
      return L"not a folder";
    case kWriteProtect:
      return L"the medium is write-protected";
    default:
      return systemText;
  }
}

std::wstring LeftoverReport(const std::vector<Leftover>& leftovers, size_t shown) {
  std::wstring text = Counted(leftovers.size(), L"item", L"items") + L" could not be removed:\n";
  const size_t listed = leftovers.size() < shown ? leftovers.size() : shown;
  for (size_t i = 0; i < listed; ++i) text += L'\n' + leftovers[i].path + L" - " + leftovers[i].reason;
  if (leftovers.size() > listed) text += L"\n... and " + std::to_wstring(leftovers.size() - listed) + L" more.";
  return text;
}

}  // namespace removal
