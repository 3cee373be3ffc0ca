// The deletion passes on the wide-character file API, with long-path forms
// so that long and non-ANSI names are removed as they are listed.
#include "removal/removal_passes_win.h"

#include <windows.h>

#include <unordered_set>

#include "base/long_path.h"
#include "removal/chunked_pass.h"
#include "removal/removal_steps_win.h"
#include "removal/listed_path.h"
#include "removal/recycle_bin_win.h"
#include "services/error_trap_win.h"

namespace removal {
namespace {

using Refusals = std::vector<Refusal>;

DWORD DeleteListedFile(const std::wstring& path) {
  const std::wstring apiPath = paths::LongPath(path);
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

// The files go on a few worker threads (much of a delete is spent outside
// the calling thread, in the file system, so even two cores gain); the
// refusals come back in pass order and the retries run here, as they
// would on one thread.
void FilePass(const std::vector<std::wstring>& files, Pacer& pacer, Refusals& refusals) {
  const size_t first = refusals.size();
  size_t shown = 0;
  const std::vector<ItemFailure> failures = RunInChunks(
      files.size(),
      [&files](size_t i) -> unsigned long {
        return PathRefusal(files[i]).empty() ? DeleteListedFile(files[i]) : kRefusedPath;
      },
      [&](size_t done) {
        pacer.Waited(done - shown);
        shown = done;
      },
      {DeleteWorkerCount()});
  pacer.Step(files.size() - shown);
  for (const ItemFailure& f : failures) refusals.push_back(Refused(files[f.index], static_cast<DWORD>(f.code)));
  RetryRounds(refusals, first, pacer, [](const Refusal& r) { return DeleteListedFile(*r.path); });
}

void FolderPass(const std::vector<std::wstring>& folders, Pacer& pacer, Refusals& refusals) {
  const bool linksAlone = FolderLinksRemovableAlone();
  const size_t first = refusals.size();
  for (const std::wstring& path : folders) {
    if (!PathRefusal(path).empty()) {
      refusals.push_back({&path, kRefusedPath});
    } else if (const DWORD code = RemoveListedFolder(path, linksAlone)) {
      refusals.push_back(Refused(path, code));
    }
    pacer.Step();
  }
  RetryRounds(refusals, first, pacer, [&](const Refusal& r) { return RemoveListedFolder(*r.path, linksAlone); });
}

// A refused item counts only when it is still there now; one that cannot be
// looked at (an unreachable server, a name no file can have) counts too.
std::vector<Leftover> StillThere(const Refusals& refusals) {
  std::vector<Leftover> leftovers;
  std::unordered_set<std::wstring> seen;
  for (const Refusal& r : refusals) {
    if (r.code != kRefusedPath && IsGone(FolderApiPath(*r.path))) continue;
    if (!seen.insert(*r.path).second) continue;
    leftovers.push_back({*r.path, RefusalReason(r)});
  }
  return leftovers;
}

}  // namespace

bool FolderLinksRemovableAlone() {
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return !(ntdll && GetProcAddress(ntdll, "wine_get_version"));
}

std::vector<Leftover> RunPasses(const Plan& plan, const ProgressFn& progress, Disposal disposal) {
  Refusals refusals;
  Pacer pacer(progress, plan.files.size() + plan.folders.size());
  if (disposal == Disposal::RecycleBin) {
    RecycleFiles(plan.files, pacer, refusals);
    RecycleFolders(plan.folders, pacer, refusals);
  } else {
    FilePass(plan.files, pacer, refusals);
    FolderPass(plan.folders, pacer, refusals);
  }
  return StillThere(refusals);
}

}  // namespace removal
