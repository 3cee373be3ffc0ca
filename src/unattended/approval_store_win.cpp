// Approvals in the registry store: a list's path may hold characters the
// ANSI code page has not, which the wide-character API keeps.
#include "unattended/approval_store_win.h"

#include <windows.h>

#include "base/handles_win.h"
#include "base/paths.h"
#include "services/registry_win.h"

namespace unattended {
namespace {

using services::kApprovalsKey;
using services::kSettingsKey;

const wchar_t kBrokenValue[] = L"BrokenApprovals";
constexpr size_t kBrokenLinesKept = 20;

base::win::unique_hkey OpenKey(const wchar_t* path, bool create) {
  return create ? services::CreateKey(HKEY_CURRENT_USER, path, KEY_READ | KEY_WRITE)
                : services::OpenKey(HKEY_CURRENT_USER, path, KEY_READ | KEY_WRITE);
}

// A text value, empty when missing or of another type.
std::wstring ReadText(HKEY key, const std::wstring& name) { return services::ReadText(key, name).value_or(L""); }

// Each value's name and text.
std::vector<std::pair<std::wstring, std::wstring>> Values(HKEY key) {
  std::vector<std::pair<std::wstring, std::wstring>> values;
  for (const std::wstring& name : services::ValueNames(key)) values.emplace_back(name, ReadText(key, name));
  return values;
}

std::optional<Approval> Read(const std::wstring& path, const std::wstring& text) {
  Approval approval;
  if (!ReadApprovalText(text, approval)) return std::nullopt;
  approval.listPath = path;
  return approval;
}

}  // namespace

std::optional<Approval> FindApproval(const std::wstring& listPath) {
  const base::win::unique_hkey key = OpenKey(kApprovalsKey, false);
  if (!key) return std::nullopt;
  for (const auto& [path, text] : Values(key.get()))
    if (base::paths::SamePath(path, listPath)) return Read(path, text);
  return std::nullopt;
}

std::vector<Approval> AllApprovals() {
  std::vector<Approval> approvals;
  const base::win::unique_hkey key = OpenKey(kApprovalsKey, false);
  if (!key) return approvals;
  for (const auto& [path, text] : Values(key.get()))
    if (std::optional<Approval> approval = Read(path, text)) approvals.push_back(std::move(*approval));
  return approvals;
}

bool KeepApproval(const Approval& approval) {
  DropApproval(approval.listPath);
  const base::win::unique_hkey key = OpenKey(kApprovalsKey, true);
  return key && services::WriteText(key.get(), approval.listPath, ApprovalText(approval));
}

bool DropApproval(const std::wstring& listPath) {
  bool missing = false;
  const base::win::unique_hkey key =
      services::OpenKey(HKEY_CURRENT_USER, kApprovalsKey, KEY_READ | KEY_WRITE, &missing);
  if (!key) return missing;  // no approval at all, or none that could be dropped
  bool dropped = true;
  for (const auto& value : Values(key.get()))
    if (base::paths::SamePath(value.first, listPath))
      dropped = dropped && services::DeleteValue(key.get(), value.first);
  return dropped;
}

// The run log has the same line: a note that cannot be written only leaves
// the main window's word at its next start out, so it goes untold.
void NoteBrokenApproval(const std::wstring& line) {
  const base::win::unique_hkey key = OpenKey(kSettingsKey, true);
  if (!key) return;
  std::wstring note = ReadText(key.get(), kBrokenValue);
  note += line + L"\n";
  // The oldest lines go first.
  size_t lines = 0;
  for (wchar_t c : note) lines += c == L'\n';
  while (lines-- > kBrokenLinesKept) note.erase(0, note.find(L'\n') + 1);
  services::WriteText(key.get(), kBrokenValue, note);
}

std::vector<std::wstring> TakeBrokenApprovals() {
  std::vector<std::wstring> lines;
  const base::win::unique_hkey key = OpenKey(kSettingsKey, false);
  if (!key) return lines;
  const std::wstring note = ReadText(key.get(), kBrokenValue);
  services::DeleteValue(key.get(), kBrokenValue);
  size_t from = 0;
  for (size_t end; (end = note.find(L'\n', from)) != std::wstring::npos; from = end + 1)
    if (end > from) lines.push_back(note.substr(from, end - from));
  if (from < note.size()) lines.push_back(note.substr(from));
  return lines;
}

}  // namespace unattended
