// The folder rule window: the folder (typed or picked), its patterns, its
// exceptions, its age and the two ticks, and a line that counts, while the
// user types, what the rule would take now. The count runs on a thread of
// its own; a newer count replaces an older one. The window's owner is
// disabled while it is open, as under a modal dialog, but the one message
// loop goes on.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>

#include "base/window_job_win.h"
#include "base/window_win.h"
#include "listfile/folder_rule.h"

namespace app {

// Control ids of the rule window (the test driver uses them).
enum RuleControlId : int {
  kRuleOk = IDOK,
  kRuleCancel = IDCANCEL,
  kRuleFolderLabel = 401,
  kRuleFolder = 402,
  kRuleBrowse = 403,
  kRuleNamesLabel = 404,
  kRuleNames = 405,
  kRuleExceptionsLabel = 406,
  kRuleExceptions = 407,
  kRuleAgeLabel = 408,
  kRuleAge = 409,
  kRuleAgeUnit = 410,
  kRuleAgeHint = 411,
  kRuleSubfolders = 412,
  kRuleEmptied = 413,
  kRuleCount = 414,
};

class RuleWindow : public base::Window {
 public:
  using Done = std::function<void(const listfile::FolderRule& rule)>;

  // Opens the window over `owner` showing `rule`; OK runs `done` with the
  // rule as the user left it (after the protected-place question, when the
  // folder is one), Cancel runs nothing. False when it could not open (or
  // one is open already). `listPath` is the list the rule joins, when it
  // has a file: the count never takes it, as the run would not.
  bool Open(HWND owner, HICON icon, const wchar_t* caption, const listfile::FolderRule& rule,
            const std::wstring& listPath, Done done);

 private:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnCommand(int id, int code) override;
  void Close() override;
  void Fill(const listfile::FolderRule& rule);
  listfile::FolderRule Typed() const;
  void Browse();
  void OnOk();
  void ScheduleCount();
  void StartCount();
  void OnCountEnded();
  void StopCount();
  void SetCountText(const std::wstring& text);

  Done done_;
  std::wstring listPath_;
  std::unique_ptr<base::TextJob> count_;
};

}  // namespace app
