// The removal run's steps in the order the prompt takes them.
#include "removal/removal_run_win.h"

#include <windows.h>

#include "base/size_text_win.h"
#include "listfile/list_file.h"
#include "removal/full_report_win.h"
#include "removal/removal_steps_win.h"

namespace removal {
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
  const NumberStyle style = UserNumberStyle();
  std::wstring text = ClosingText(AccountText(account, style), result_.stopped, result_.removed, result_.leftovers,
                                  kShownLeftovers, style);
  if (result_.leftovers.size() > kShownLeftovers) text += L"\n\n" + WriteFullReport(listPath_, result_.leftovers);
  return {text, !result_.stopped && !result_.leftovers.empty()};
}

}  // namespace removal
