// What the delete passes and the Recycle Bin passes share: the record of a
// refused item, the special refusals, the progress pacer, the retry rounds
// for briefly locked items and the checks on listed folders.
#pragma once
#include <windows.h>

#include <atomic>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "base/paths.h"
#include "base/paths_win.h"
#include "removal/chunked_pass.h"
#include "removal/disposal.h"
#include "removal/removal_plan.h"

namespace removal {

// Refusals that are not platform error codes (all at or above kFirstOwnCode).
constexpr DWORD kLinkKept = 0xFFFFFFFF;           // a folder link left in place on purpose
constexpr DWORD kDriveRoot = 0xFFFFFFFE;          // a drive root, never removed
constexpr DWORD kRefusedPath = 0xFFFFFFFD;        // not tried: see PathRefusal
constexpr DWORD kNoRecycleBin = 0xFFFFFFFC;       // the Recycle Bin cannot take it
constexpr DWORD kNotRecycled = 0xFFFFFFFB;        // the shell left it, for no reason it gave
constexpr DWORD kFolderAsFile = 0xFFFFFFFA;       // a "File" record that names a folder
constexpr DWORD kThroughLink = 0xFFFFFFF9;        // below a listed folder that is a link now
constexpr DWORD kDriveMissing = 0xFFFFFFF8;       // its drive or share is not there
constexpr DWORD kPlainNameDiffers = 0xFFFFFFF7;   // the shell would reach another item
constexpr DWORD kFileWithSeparator = 0xFFFFFFF6;  // a "File" record whose path ends in "\"
static_assert(kNotTried == 0xFFFFFFF0, "the chunked pass's own code");
constexpr DWORD kFirstOwnCode = 0xFFFFFFF0;

// A listed item that a pass could not remove (code 0 once a retry removed it).
struct Refusal {
  const std::wstring* path;
  DWORD code;
  bool readOnly = false;
};
// The refusal with the item's read-only state when the code is access denied.
Refusal Refused(const std::wstring& path, DWORD code);
// The reason the closing report gives.
std::wstring RefusalReason(const Refusal& refusal);

// Counts the items done and calls the progress a few times a second; also
// waits while keeping the window painted.
class Pacer {
 public:
  Pacer(const ProgressFn& progress, size_t total, const std::atomic<bool>* stop = nullptr);
  // True once the user asked the run to stop.
  bool Stopped() const { return stop_ && stop_->load(std::memory_order_relaxed); }
  const std::atomic<bool>* StopFlag() const { return stop_; }
  void Step(size_t items = 1);
  // For a thread waiting on workers: counts the items they did since the
  // last call and calls the progress at once, so the window stays painted
  // even while no item gets done.
  void Waited(size_t items);
  void Pause(unsigned ms);
  // Pauses before a retry round unless the run's retry budget is spent or
  // the run was stopped.
  bool PauseForRetry(unsigned ms);

 private:
  const ProgressFn& progress_;
  size_t total_;
  size_t done_ = 0;
  DWORD last_;
  unsigned retryLeftMs_ = kRetryBudgetMs;
  const std::atomic<bool>* stop_;
};

// Tries refusals[first..] again after each pause while some of them may
// still pass, within the run's retry budget; drops the ones removed. A
// folder refused as not empty is tried again with them, in pass order.
void RetryRounds(std::vector<Refusal>& refusals, size_t first, Pacer& pacer,
                 const std::function<DWORD(const Refusal&)>& again);

// One more look, once a folder pass has ended, at the folders it found not
// empty: a folder listed before one it holds is empty once that one went.
// Tries them again, in pass order, as long as a round removes one.
void AgainOnceEmptied(std::vector<Refusal>& refusals, size_t first, Pacer& pacer,
                      const std::function<DWORD(const Refusal&)>& again);

// Whether item i of a pass is marked not to be tried (an empty marking
// marks nothing).
inline bool IsBlocked(const std::vector<bool>& blocked, size_t i) { return !blocked.empty() && blocked[i]; }

bool IsFolderLink(DWORD attributes);

// False where removing a folder link may remove the folder behind it too
// (Wine removes the target of a link to an empty folder).
bool FolderLinksRemovableAlone();
// The drive letter or share of a full path is not there now (an unplugged
// stick, an unmapped letter): its items are not gone, only out of reach.
// Asks once per root.
class DriveCheck {
 public:
  bool Missing(const std::wstring& path);

 private:
  std::map<std::wstring, bool> known_;
};
// For an access denied on a read-only item: clears the attribute on that item
// alone, tries again, and puts the attribute back if it still fails. Returns
// 0 or the final error code.
DWORD WithoutReadOnly(const std::wstring& apiPath, DWORD code, const std::function<bool()>& attempt);

}  // namespace removal
