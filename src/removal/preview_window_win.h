// The preview of a removal run, opened from the password prompt: a window
// owned by the prompt that lists every record of the list with what the
// run would do to it, the totals per drive at the top, and Copy and Close.
// It only reads: the list is read afresh and the fates are decided on a
// worker thread by the same code the run decides by, with progress shown,
// and Close works while it fills. The window is made at once and shows
// once the list is read; its owner hears of the read either way.
#pragma once
#include <windows.h>

#include <memory>

#include "base/window_win.h"
#include "removal/disposal.h"
#include "removal/preview.h"
#include "removal/removal_plan.h"
#include "removal/removal_run_win.h"

namespace removal {

// Control identifiers (the test driver uses them).
enum PreviewControlId : int {
  kPreviewTotals = 401,
  kPreviewList = 402,
  kPreviewProgress = 403,
  kPreviewCopy = 404,
  kPreviewClose = IDCANCEL,
};

// Posted to the preview's owner once the list is read: wParam TRUE when the
// preview shows, FALSE when the list could not be read (Problem() says
// why, and the window never shows); lParam the preview's window.
constexpr UINT kMsgPreviewRead = WM_APP + 22;

struct PreviewJob;

class PreviewWindow : public base::Window {
 public:
  PreviewWindow() = default;
  // Closes the window if it is still open; a filling that has not ended is
  // told to stop and ends on its own.
  ~PreviewWindow() override;

  // Makes the window beside its owner, with the owner's icon, and starts
  // reading the list (taking the plan read ahead when the file still holds
  // its bytes) and deciding the fates of its items for this way of
  // removing them.
  bool Open(HWND owner, const std::wstring& listPath, Disposal disposal,
            std::shared_ptr<ListReadAhead> ahead = nullptr);
  // Why the list could not be read, once the owner has heard so.
  const std::wstring& Problem() const { return problem_; }
  // What the preview found the rules take, once it is filled; null before.
  const RulesForeseen* Foreseen() const { return foreseen_.get(); }

 private:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  bool OnCreate() override;
  void OnCommand(int id, int code) override;
  void Close() override;
  void AddColumns();
  void Layout() override;
  void Show();
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
  std::wstring problem_;
  bool shown_ = false;
  std::wstring cell_;           // the text a list cell was last given
  HWND returnFocus_ = nullptr;  // the owner's control that had the keys
  std::wstring typed_;          // the start of a path being typed in the list
  DWORD typedAt_ = 0;
};

}  // namespace removal
