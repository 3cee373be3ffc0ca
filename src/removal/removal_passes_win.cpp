// The deletion passes on the wide-character file API, with long-path forms
// so that long and non-ANSI names are removed as they are listed.
#include "removal/removal_passes_win.h"

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>
#include <unordered_set>

#include "base/long_path.h"
#include "removal/chunked_pass.h"
#include "removal/link_guard.h"
#include "removal/removal_steps_win.h"
#include "removal/listed_path.h"
#include "removal/recycle_bin_win.h"
#include "services/error_trap_win.h"

namespace removal {
namespace {

using Refusals = std::vector<Refusal>;

DWORD DeleteListedFile(const std::wstring& path) {
  const std::wstring apiPath = paths::Verbatim(path);
  if (DeleteFileW(apiPath.c_str())) return 0;
  const DWORD code = GetLastError();
  if (code != ERROR_ACCESS_DENIED) return code;
  const DWORD attributes = GetFileAttributesW(apiPath.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return kFolderAsFile;
  return WithoutReadOnly(apiPath, code, [&] { return DeleteFileW(apiPath.c_str()) != FALSE; });
}

DWORD RemoveListedFolder(const std::wstring& path, bool linksAlone) {
  const std::wstring apiPath = FolderApiPath(path);
  if (IsDriveRoot(apiPath)) return kDriveRoot;
  if (!linksAlone && IsFolderLink(GetFileAttributesW(apiPath.c_str()))) return kLinkKept;
  if (RemoveDirectoryW(apiPath.c_str())) return 0;
  const DWORD code = GetLastError();
  if (code != ERROR_ACCESS_DENIED) return code;
  return WithoutReadOnly(apiPath, code, [&] { return RemoveDirectoryW(apiPath.c_str()) != FALSE; });
}

// The user's own shell folders. Where they are links, the system made them
// so (under Wine, Documents and the others lead to the home folder): they
// were links when the list was made, and items in them are listed as usual.
std::vector<std::wstring> UserShellFolderKeys() {
  std::vector<std::wstring> keys;
  for (const KNOWNFOLDERID* id : {&FOLDERID_Documents, &FOLDERID_Downloads, &FOLDERID_Music, &FOLDERID_Pictures,
                                  &FOLDERID_Videos, &FOLDERID_Desktop, &FOLDERID_Profile}) {
    wchar_t* path = nullptr;
    if (SUCCEEDED(SHGetKnownFolderPath(*id, 0, nullptr, &path))) keys.push_back(FolderKey(path));
    CoTaskMemFree(path);
  }
  return keys;
}

// Marks the items below a listed folder that is a link now, other than a
// shell folder (an empty vector when there are none, as in nearly every run). The listed folders
// are looked at on the workers, since a big list names thousands.
struct BlockedItems {
  std::vector<bool> files, folders;
};
BlockedItems BelowLinks(const Plan& plan, const std::atomic<bool>* stop) {
  LinkGuard guard(plan.folders, plan.files);
  const std::vector<std::wstring>& above = guard.FoldersAbove();
  if (above.empty()) return {};
  ChunkSetup setup{DeleteWorkerCount(), 500};
  setup.stop = stop;
  const std::vector<ItemFailure> links = RunInChunks(
      above.size(),
      [&above](size_t i) -> unsigned long { return IsFolderLink(GetFileAttributesW(FolderApiPath(above[i]).c_str())); },
      [](size_t) {}, setup);
  std::vector<size_t> linked;
  std::vector<std::wstring> shellFolders;
  for (const ItemFailure& f : links) {
    if (f.code != 1) continue;
    if (shellFolders.empty()) shellFolders = UserShellFolderKeys();
    if (std::find(shellFolders.begin(), shellFolders.end(), FolderKey(above[f.index])) == shellFolders.end())
      linked.push_back(f.index);
  }
  guard.SetLinks(linked);
  return {guard.Blocked(plan.files), guard.Blocked(plan.folders)};
}

// The files go on a few worker threads (much of a delete is spent outside
// the calling thread, in the file system, so even two cores gain); the
// refusals come back in pass order and the retries run here, as they
// would on one thread.
void FilePass(const std::vector<std::wstring>& files, const std::vector<bool>& blocked, Pacer& pacer,
              Refusals& refusals) {
  const size_t first = refusals.size();
  size_t shown = 0;
  ChunkSetup setup{DeleteWorkerCount()};
  setup.stop = pacer.StopFlag();
  const std::vector<ItemFailure> failures = RunInChunks(
      files.size(),
      [&files, &blocked](size_t i) -> unsigned long {
        if (IsBlocked(blocked, i)) return kThroughLink;
        return PathRefusal(files[i]).empty() ? DeleteListedFile(files[i]) : kRefusedPath;
      },
      [&](size_t done) {
        pacer.Waited(done - shown);
        shown = done;
      },
      setup);
  pacer.Step(files.size() - shown);
  for (const ItemFailure& f : failures) refusals.push_back(Refused(files[f.index], static_cast<DWORD>(f.code)));
  RetryRounds(refusals, first, pacer, [](const Refusal& r) { return DeleteListedFile(*r.path); });
}

void FolderPass(const std::vector<std::wstring>& folders, const std::vector<bool>& blocked, Pacer& pacer,
                Refusals& refusals) {
  const bool linksAlone = FolderLinksRemovableAlone();
  const size_t first = refusals.size();
  for (size_t i = 0; i < folders.size(); ++i) {
    const std::wstring& path = folders[i];
    if (pacer.Stopped()) {
      refusals.push_back({&path, kNotTried});
    } else if (IsBlocked(blocked, i)) {
      refusals.push_back({&path, kThroughLink});
    } else if (!PathRefusal(path).empty()) {
      refusals.push_back({&path, kRefusedPath});
    } else if (const DWORD code = RemoveListedFolder(path, linksAlone)) {
      refusals.push_back(Refused(path, code));
    }
    pacer.Step();
  }
  RetryRounds(refusals, first, pacer, [&](const Refusal& r) { return RemoveListedFolder(*r.path, linksAlone); });
}

// Whether a refused item counts as left: one the run did not look for on
// purpose always does; one that cannot be looked at (an unreachable server,
// a name no file can have) does too; one that is not found is gone, unless
// its whole drive is not there.
bool CountsAsLeft(Refusal& r, DriveCheck& drives) {
  if (r.code == kRefusedPath || r.code == kThroughLink) return true;
  const std::wstring apiPath = FolderApiPath(*r.path);
  if (!IsGone(apiPath)) return true;
  if (!drives.Missing(apiPath)) return false;
  r.code = kDriveMissing;
  return true;
}

// The result: each refused item that is still there, once; the rest of the
// listed items went in this run.
RunResult Outcome(Refusals& refusals, size_t listed, bool stopped) {
  RunResult result;
  result.stopped = stopped;
  result.removed = listed - refusals.size();
  std::unordered_set<std::wstring> seen;
  DriveCheck drives;
  for (Refusal& r : refusals) {
    if (!CountsAsLeft(r, drives)) continue;
    if (!seen.insert(*r.path).second) continue;
    result.leftovers.push_back({*r.path, RefusalReason(r)});
  }
  return result;
}

}  // namespace

bool FolderLinksRemovableAlone() {
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return !(ntdll && GetProcAddress(ntdll, "wine_get_version"));
}

RunResult RunPasses(const Plan& plan, const ProgressFn& progress, Disposal disposal,
                    const std::atomic<bool>* stop) {
  Refusals refusals;
  const size_t listed = plan.files.size() + plan.folders.size();
  Pacer pacer(progress, listed, stop);
  const BlockedItems blocked = BelowLinks(plan, stop);
  if (disposal == Disposal::RecycleBin) {
    RecycleFiles(plan.files, blocked.files, pacer, refusals);
    RecycleFolders(plan.folders, blocked.folders, pacer, refusals);
  } else {
    FilePass(plan.files, blocked.files, pacer, refusals);
    FolderPass(plan.folders, blocked.folders, pacer, refusals);
  }
  return Outcome(refusals, listed, pacer.Stopped());
}

}  // namespace removal
