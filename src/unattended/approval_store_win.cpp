// Approvals in the registry, through the wide-character API: a list's path
// may hold characters the ANSI code page has not.
#include "unattended/approval_store_win.h"

#include <windows.h>

#include "base/handles_win.h"
#include "base/paths.h"

namespace unattended {
namespace {

const wchar_t kApprovalsKey[] = L"SOFTWARE\\FD\\Approvals";
const wchar_t kSettingsKey[] = L"SOFTWARE\\FD";
const wchar_t kBrokenValue[] = L"BrokenApprovals";
constexpr size_t kBrokenLinesKept = 20;

base::win::unique_hkey OpenKey(const wchar_t* path, bool create) {
  base::win::unique_hkey key;
  const LSTATUS status =
      create ? RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, key.put(), nullptr)
             : RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ | KEY_WRITE, key.put());
  if (status != ERROR_SUCCESS) key.reset();
  return key;
}

std::wstring ReadText(HKEY key, const wchar_t* name) {
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ) return {};
  std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
  DWORD got = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &got) != ERROR_SUCCESS)
    return {};
  text.resize(wcsnlen(text.c_str(), text.size()));
  return text;
}

bool WriteText(HKEY key, const std::wstring& name, const std::wstring& text) {
  return RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

// Each value's name and text.
std::vector<std::pair<std::wstring, std::wstring>> Values(HKEY key) {
  std::vector<std::pair<std::wstring, std::wstring>> values;
  for (DWORD i = 0;; ++i) {
    wchar_t name[32768];
    DWORD length = static_cast<DWORD>(std::size(name));
    if (RegEnumValueW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    values.emplace_back(std::wstring(name, length), ReadText(key, name));
  }
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
  return key && WriteText(key.get(), approval.listPath, ApprovalText(approval));
}

bool DropApproval(const std::wstring& listPath) {
  base::win::unique_hkey key;
  const LSTATUS opened = RegOpenKeyExW(HKEY_CURRENT_USER, kApprovalsKey, 0, KEY_READ | KEY_WRITE, key.put());
  if (opened == ERROR_FILE_NOT_FOUND) return true;  // no approval at all
  if (opened != ERROR_SUCCESS) return false;
  bool dropped = true;
  for (const auto& value : Values(key.get()))
    if (base::paths::SamePath(value.first, listPath))
      dropped = dropped && RegDeleteValueW(key.get(), value.first.c_str()) == ERROR_SUCCESS;
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
  WriteText(key.get(), kBrokenValue, note);
}

std::vector<std::wstring> TakeBrokenApprovals() {
  std::vector<std::wstring> lines;
  const base::win::unique_hkey key = OpenKey(kSettingsKey, false);
  if (!key) return lines;
  const std::wstring note = ReadText(key.get(), kBrokenValue);
  RegDeleteValueW(key.get(), kBrokenValue);
  size_t from = 0;
  for (size_t end; (end = note.find(L'\n', from)) != std::wstring::npos; from = end + 1)
    if (end > from) lines.push_back(note.substr(from, end - from));
  if (from < note.size()) lines.push_back(note.substr(from));
  return lines;
}

}  // namespace unattended
