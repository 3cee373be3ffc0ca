// The removal run's steps in the order the prompt takes them.
#include "removal/removal_run_win.h"

#include <windows.h>

#include "base/size_text_win.h"
#include "listfile/list_file.h"
#include "removal/full_report_win.h"

namespace removal {
namespace {

// The user's locale's way of writing numbers; the usual one where it
// cannot be had.
NumberStyle UserNumberStyle() {
  NumberStyle style;
  wchar_t text[16] = L"";
  if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STHOUSAND, text, 16)) style.separator = text;
  if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SGROUPING, text, 16)) style.grouping = text;
  return style;
}

}  // namespace

bool RemovalRun::Read(std::wstring& problem) {
  std::string bytes;
  std::wstring reason;
  if (!listfile::ReadListFile(listPath_, bytes, reason)) {
    problem = UnreadableListText(listPath_, reason);
    return false;
  }
  listfile::LoadedList list = listfile::ReadList(std::move(bytes));
  plan_ = MakePlan(std::move(list.records));
  password_ = std::move(list.password);
  if (plan_.files.empty() && plan_.folders.empty()) {
    problem = EmptyListText(listPath_);
    return false;
  }
  return true;
}

ClosingMessage RemovalRun::Run(Disposal disposal, const ProgressFn& progress, const std::atomic<bool>* stop) {
  result_ = RunPasses(plan_, progress, disposal, stop);
  return Closing(disposal);
}

ClosingMessage RemovalRun::Closing(Disposal disposal) const {
  Account account;
  account.files = result_.removedFiles;
  account.folders = result_.removedFolders;
  account.size = base::ExplorerSize(result_.removedBytes);
  account.recycled = disposal == Disposal::RecycleBin;
  std::wstring text = ClosingText(AccountText(account, UserNumberStyle()), result_.stopped, result_.removed,
                                  result_.leftovers);
  if (result_.leftovers.size() > kShownLeftovers) text += L"\n\n" + WriteFullReport(listPath_, result_.leftovers);
  return {text, !result_.stopped && !result_.leftovers.empty()};
}

}  // namespace removal
