// Writing the full report beside the other temporary files of the user,
// under a name no other file has.
#include "removal/full_report_win.h"

#include <windows.h>

#include "base/atomic_write_win.h"
#include "base/encoding.h"
#include "base/error_trap_win.h"
#include "base/paths.h"
#include "base/system_folders_win.h"
#include "base/texts_win.h"
#include "listfile/list_file.h"

namespace removal {
namespace {

// Names tried for reports of the same list and second before giving up.
constexpr int kMaxCopies = 999;

}  // namespace

// The report is staged in the folder and then given the first free name, so
// it never replaces another file, not even one made in the same second.
std::wstring WriteFullReport(const std::wstring& listPath, const std::vector<Leftover>& leftovers) {
  const ReportTime time = base::text::LocalNow();
  const std::wstring folder = base::system::TempFolder();
  std::wstring path = base::paths::JoinPath(folder, ReportFileName(listPath, time));
  if (folder.empty()) return ReportPlaceText(path, base::trap::SystemMessage(GetLastError()));
  const std::wstring text = FullReportText(leftovers, listPath, time, base::text::UserNumberStyle());
  const std::string bytes = std::string(listfile::kUtf8Bom, 3) + base::enc::ToUtf8(text);
  base::files::StagedFile staged;
  bool placed = staged.Open(folder) && staged.Write(bytes.data(), bytes.size()) && staged.MoveTo(path, false);
  for (int copy = 2; !placed && base::files::NameTaken(staged.Error()) && copy <= kMaxCopies; ++copy) {
    path = base::paths::JoinPath(folder, ReportFileName(listPath, time, copy));
    placed = staged.MoveTo(path, false);
  }
  return ReportPlaceText(path, placed ? std::wstring() : base::trap::SystemMessage(staged.Error()));
}

}  // namespace removal
