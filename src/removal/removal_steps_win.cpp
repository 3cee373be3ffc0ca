// Shared pieces of the removal passes: refusals and their reasons, pacing,
// retry rounds and folder checks.
#include "removal/removal_steps_win.h"

#include "base/error_trap_win.h"
#include "base/paths.h"
#include "base/paths_win.h"
#include "removal/listed_path.h"

namespace removal {
namespace {

constexpr DWORD kProgressEveryMs = 250;
constexpr unsigned kPauseSliceMs = 25;

bool MayPassNow(const Refusal& r) { return r.code != 0 && r.code < kFirstOwnCode && MayPass(r.code, r.readOnly); }

}  // namespace

Refusal Refused(const std::wstring& path, DWORD code) {
  Refusal refusal{&path, code};
  if (code == ERROR_ACCESS_DENIED) {
    const DWORD attributes = GetFileAttributesW(base::paths::Verbatim(path).c_str());
    refusal.readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
  }
  return refusal;
}

std::wstring RefusalReason(const Refusal& r) {
  switch (r.code) {
    case kLinkKept: return L"a link to another folder; left so that nothing behind it is removed";
    case kDriveRoot: return L"the root of a drive; never removed";
    case kRefusedPath: return PathRefusal(*r.path);
    case kNoRecycleBin: return L"the Recycle Bin cannot take it";
    case kNotRecycled: return L"could not be moved to the Recycle Bin";
    case kFolderAsFile: return L"a folder, listed as a file";
    case kThroughLink:
      return L"reached through a link: a listed folder above it is a link now; left so that nothing behind it is "
             L"removed";
    case kDriveMissing: return L"the drive is not there";
    case kPlainNameDiffers:
      return L"a name ending in a dot or a blank, which the Recycle Bin cannot take; left so that nothing else goes "
             L"in its place";
    case kNotTried: return L"not tried: the run was stopped";
    case kFileWithSeparator: return L"a file's path ending in a backslash, which names no file";
    default: return ReasonText(r.code, r.readOnly, base::trap::SystemMessage(r.code));
  }
}

Pacer::Pacer(const ProgressFn& progress, size_t total, const std::atomic<bool>* stop)
    : progress_(progress), total_(total), last_(GetTickCount()), stop_(stop) {}

void Pacer::Step(size_t items) {
  const size_t before = done_;
  done_ += items;
  if (!progress_ || (done_ >> 6) == (before >> 6)) return;
  const DWORD now = GetTickCount();
  if (now - last_ < kProgressEveryMs) return;
  last_ = now;
  progress_(done_, total_);
}

void Pacer::Waited(size_t items) {
  done_ += items;
  if (progress_) progress_(done_, total_);
}

void Pacer::Pause(unsigned ms) {
  for (unsigned waited = 0; waited < ms; waited += kPauseSliceMs) {
    Sleep(ms - waited < kPauseSliceMs ? ms - waited : kPauseSliceMs);
    if (progress_) progress_(done_, total_);
  }
}

bool Pacer::PauseForRetry(unsigned ms) {
  if (Stopped() || retryLeftMs_ < ms) return false;
  retryLeftMs_ -= ms;
  Pause(ms);
  return true;
}

void RetryRounds(std::vector<Refusal>& refusals, size_t first, Pacer& pacer,
                 const std::function<DWORD(const Refusal&)>& again) {
  for (unsigned pause : kRetryPausesMs) {
    bool any = false;
    for (size_t i = first; i < refusals.size() && !any; ++i) any = MayPassNow(refusals[i]);
    if (!any || !pacer.PauseForRetry(pause) || pacer.Stopped()) break;
    for (size_t i = first; i < refusals.size(); ++i) {
      Refusal& r = refusals[i];
      if (!MayPassNow(r) && r.code != ERROR_DIR_NOT_EMPTY) continue;
      const DWORD code = again(r);
      r = code ? Refused(*r.path, code) : Refusal{r.path, 0};
    }
  }
  size_t kept = first;
  for (size_t i = first; i < refusals.size(); ++i)
    if (refusals[i].code != 0) refusals[kept++] = refusals[i];
  refusals.resize(kept);
}

void AgainOnceEmptied(std::vector<Refusal>& refusals, size_t first, Pacer& pacer,
                      const std::function<DWORD(const Refusal&)>& again) {
  for (bool removedOne = true; removedOne && !pacer.Stopped();) {
    removedOne = false;
    for (size_t i = first; i < refusals.size(); ++i) {
      Refusal& r = refusals[i];
      if (r.code != ERROR_DIR_NOT_EMPTY) continue;
      const DWORD code = again(r);
      removedOne = removedOne || code == 0;
      r = code ? Refused(*r.path, code) : Refusal{r.path, 0};
    }
  }
  size_t kept = first;
  for (size_t i = first; i < refusals.size(); ++i)
    if (refusals[i].code != 0) refusals[kept++] = refusals[i];
  refusals.resize(kept);
}

bool IsFolderLink(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
         (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool FolderLinksRemovableAlone() {
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return !(ntdll && GetProcAddress(ntdll, "wine_get_version"));
}

bool DriveCheck::Missing(const std::wstring& path) {
  const std::wstring root = base::paths::Root(path);
  if (root.empty()) return false;
  auto found = known_.find(root);
  if (found == known_.end()) found = known_.emplace(root, GetDriveTypeW(root.c_str()) == DRIVE_NO_ROOT_DIR).first;
  return found->second;
}

DWORD WithoutReadOnly(const std::wstring& apiPath, DWORD code, const std::function<bool()>& attempt) {
  const DWORD attributes = GetFileAttributesW(apiPath.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY)) return code;
  DWORD cleared = attributes & ~FILE_ATTRIBUTE_READONLY;
  if (cleared == 0) cleared = FILE_ATTRIBUTE_NORMAL;
  if (!SetFileAttributesW(apiPath.c_str(), cleared)) return code;
  if (attempt()) return 0;
  code = GetLastError();
  SetFileAttributesW(apiPath.c_str(), attributes);
  return code;
}

}  // namespace removal
