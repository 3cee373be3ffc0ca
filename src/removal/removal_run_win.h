// A removal run from its list file to its closing message, with no window:
// it reads the list afresh, plans the two passes, words the confirmation,
// checks the password, runs the passes (stoppable, telling its progress)
// and words the closing message, writing the full report when more items
// stay than the message shows. The prompt only shows and asks.
#pragma once
#include <atomic>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "base/texts_win.h"
#include "removal/removal_passes_win.h"
#include "removal/removal_plan.h"

namespace removal {

// The message that ends a run, and whether it warns (items stayed) or
// only informs.
struct ClosingMessage {
  std::wstring text;
  bool warns = false;
};

// A list read and planned ahead of a press, for a later read that finds the
// file holding the very same bytes: the plan is made of them alone.
struct ListReadAhead {
  std::mutex lock;  // guards the rest
  bool ready = false;
  std::string bytes;
  Plan plan;
  std::wstring password;
};

class RemovalRun {
 public:
  // The list's path as the command line names it: a relative one is made
  // full against the current folder, as a console user means it.
  explicit RemovalRun(const std::wstring& listPath);

  // Reads the list file as it is now and plans the passes. False when there
  // is nothing to run; `problem` then holds what to tell the user (the file
  // cannot be read, or it names no file and no folder).
  bool Read(std::wstring& problem);
  // The same; when `ahead` holds the plan of the very bytes the file holds
  // now, that plan is taken (once) rather than made again.
  bool Read(std::wstring& problem, ListReadAhead& ahead);
  // Reads the list and plans it into `ahead`; nothing when it cannot be
  // read or names nothing.
  void ReadAhead(ListReadAhead& ahead);
  // The same from the file's bytes as the caller read them (an unattended
  // run acts on the very bytes it checked).
  bool ReadBytes(std::string bytes, std::wstring& problem);
  // "Are you sure ...?" with the counts of the list read.
  std::wstring Confirmation(const RulesForeseen* foreseen = nullptr) const {
    return ConfirmationText(plan_, listPath_, foreseen, base::text::UserNumberStyle());
  }
  bool PasswordMatches(const std::wstring& typed) const { return removal::PasswordMatches(typed, password_); }
  const Plan& Planned() const { return plan_; }
  // The plan handed over (a preview's own); the run then has none.
  Plan TakePlan() { return std::move(plan_); }

  // Runs both passes. Raising `stop` (from any thread) ends the run after
  // the items in hand. Gives the closing message.
  ClosingMessage Run(Disposal disposal, const ProgressFn& progress, const std::atomic<bool>* stop = nullptr);
  const RunResult& Result() const { return result_; }
  // What the run removed, in words, and per rule where something stayed,
  // one line each: the closing message's first lines.
  std::vector<std::wstring> AccountLines(Disposal disposal) const;

 private:
  ClosingMessage Closing(Disposal disposal) const;
  bool ReadFile(std::string& bytes, std::wstring& problem) const;
  bool Names(std::wstring& problem) const;
  std::vector<RuleAccount> RuleAccounts() const;

  std::wstring listPath_;
  std::wstring password_;
  Plan plan_;
  RunResult result_;
};

}  // namespace removal
