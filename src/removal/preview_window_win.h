// The preview of a removal run, opened from the password prompt: a window
// owned by the prompt that lists every record of the list with what the
// run would do to it, the totals per drive at the top, and Copy and Close.
// It only reads: the fates are decided on a worker thread by the same code
// the run decides by, with progress shown, and Close works while it fills.
#pragma once
#include <windows.h>

#include <memory>

#include "base/window_win.h"
#include "removal/disposal.h"
#include "removal/preview.h"
#include "removal/removal_plan.h"

namespace removal {

// Control identifiers (the test driver uses them).
enum PreviewControlId : int {
  kPreviewTotals = 401,
  kPreviewList = 402,
  kPreviewProgress = 403,
  kPreviewCopy = 404,
  kPreviewClose = IDCANCEL,
};

struct PreviewJob;

class PreviewWindow : public base::Window {
 public:
  PreviewWindow() = default;
  // Closes the window if it is still open; a filling that has not ended is
  // told to stop and ends on its own.
  ~PreviewWindow() override;

  // Opens the window beside its owner, with the owner's icon, and starts
  // deciding the fates of the plan's items for this way of removing them.
  bool Open(HWND owner, const Plan& plan, Disposal disposal);
  // What the preview found the rules take, once it is filled; null before.
  const RulesForeseen* Foreseen() const { return foreseen_.get(); }

 private:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  bool OnCreate() override;
  void OnCommand(int id, int code) override;
  void Close() override;
  void AddColumns();
  void Layout() override;
  void OnProgress();
  void OnFilled();
  LRESULT OnNotify(const NMHDR* header);
  static LRESULT CALLBACK ListProcedure(HWND list, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR self);
  bool FindTyped(wchar_t c);
  void ShowSortArrows();
  void Copy();

  std::shared_ptr<PreviewJob> job_;
  std::unique_ptr<Preview> model_;
  std::unique_ptr<RulesForeseen> foreseen_;
  std::wstring cell_;  // the text a list cell was last given
  HWND returnFocus_ = nullptr;  // the owner's control that had the keys
  std::wstring typed_;          // the start of a path being typed in the list
  DWORD typedAt_ = 0;
};

}  // namespace removal
