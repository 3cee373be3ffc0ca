// The removal run's steps in the order the prompt takes them.
#include "removal/removal_run_win.h"

#include "listfile/list_file.h"
#include "removal/full_report_win.h"

namespace removal {

bool RemovalRun::Read(std::wstring& problem) {
  std::string bytes;
  std::wstring reason;
  if (!listfile::ReadListFile(listPath_, bytes, reason)) {
    problem = UnreadableListText(listPath_, reason);
    return false;
  }
  listfile::LoadedList list = listfile::ReadList(std::move(bytes));
  plan_ = MakePlan(list.records);
  password_ = std::move(list.password);
  if (plan_.files.empty() && plan_.folders.empty()) {
    problem = EmptyListText(listPath_);
    return false;
  }
  return true;
}

ClosingMessage RemovalRun::Run(Disposal disposal, const ProgressFn& progress, const std::atomic<bool>* stop) {
  result_ = RunPasses(plan_, progress, disposal, stop);
  return Closing();
}

ClosingMessage RemovalRun::Closing() const {
  if (result_.leftovers.empty() && !result_.stopped) return {L"Done", false};
  std::wstring text =
      result_.stopped ? StoppedReport(result_.removed, result_.leftovers) : LeftoverReport(result_.leftovers);
  if (result_.leftovers.size() > kShownLeftovers) text += L"\n\n" + WriteFullReport(listPath_, result_.leftovers);
  return {text, !result_.stopped};
}

}  // namespace removal
