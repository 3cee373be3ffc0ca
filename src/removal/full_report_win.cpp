// Writing the full report beside the other temporary files of the user.
#include "removal/full_report_win.h"

#include <windows.h>

#include "base/encoding.h"
#include "listfile/file_io.h"
#include "listfile/list_file.h"
#include "services/error_trap_win.h"

namespace removal {
namespace {

std::wstring TempFolder() {
  std::wstring folder(MAX_PATH + 1, L'\0');
  DWORD n = GetTempPathW(static_cast<DWORD>(folder.size()), &folder[0]);
  if (n > folder.size()) {
    folder.resize(n);
    n = GetTempPathW(n, &folder[0]);
  }
  folder.resize(n < folder.size() ? n : 0);
  return folder;
}

ReportTime Now() {
  SYSTEMTIME t{};
  GetLocalTime(&t);
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

}  // namespace

std::wstring WriteFullReport(const std::wstring& listPath, const std::vector<Leftover>& leftovers) {
  const ReportTime time = Now();
  const std::wstring folder = TempFolder();
  const std::wstring path = listfile::JoinPath(folder, ReportFileName(listPath, time));
  if (folder.empty()) return ReportPlaceText(path, trap::SystemMessage(GetLastError()));
  const std::string bytes = std::string(listfile::kUtf8Bom, 3) + enc::ToUtf8(FullReportText(leftovers, listPath, time));
  std::wstring failure;
  fileio::WriteAll(path, bytes, failure);
  return ReportPlaceText(path, failure);
}

}  // namespace removal
