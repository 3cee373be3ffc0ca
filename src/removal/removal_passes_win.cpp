// The deletion passes on the wide-character file API, with long-path forms
// so that long and non-ANSI names are removed as they are listed.
#include "removal/removal_passes_win.h"

#include <windows.h>

#include <algorithm>
#include <unordered_set>

#include "base/long_path.h"
#include "removal/chunked_pass.h"
#include "removal/fates_win.h"
#include "removal/recycle_bin_win.h"
#include "removal/removal_steps_win.h"

namespace removal {
namespace {

using Refusals = std::vector<Refusal>;

// Removes an item that the verdict let through; a read-only one goes too.
DWORD RemoveItem(const std::wstring& apiPath, BOOL(WINAPI* remove)(LPCWSTR)) {
  if (remove(apiPath.c_str())) return 0;
  const DWORD code = GetLastError();
  if (code != ERROR_ACCESS_DENIED) return code;
  return WithoutReadOnly(apiPath, code, [&] { return remove(apiPath.c_str()) != FALSE; });
}

DWORD DeleteListedFile(const std::wstring& path) { return RemoveItem(paths::Verbatim(path), DeleteFileW); }
DWORD RemoveListedFolder(const std::wstring& path) { return RemoveItem(FolderApiPath(path), RemoveDirectoryW); }

// The files go on a few worker threads (much of a delete is spent outside
// the calling thread, in the file system, so even two cores gain); the
// refusals come back in pass order and the retries run here, as they
// would on one thread.
void FilePass(const std::vector<std::wstring>& files, FateCheck& check, std::vector<std::uint64_t>& bytes,
              Pacer& pacer, Refusals& refusals) {
  const size_t first = refusals.size();
  size_t shown = 0;
  ChunkSetup setup{DeleteWorkerCount()};
  setup.stop = pacer.StopFlag();
  const std::vector<ItemFailure> failures = RunInChunks(
      files.size(),
      [&](size_t i) -> unsigned long {
        const Verdict verdict = check.File(i);
        if (verdict.code) return verdict.code;
        bytes[i] = verdict.bytes;
        return DeleteListedFile(files[i]);
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

void FolderPass(const std::vector<std::wstring>& folders, const FateCheck& check, Pacer& pacer,
                Refusals& refusals) {
  const size_t first = refusals.size();
  for (size_t i = 0; i < folders.size(); ++i) {
    const std::wstring& path = folders[i];
    if (pacer.Stopped()) {
      refusals.push_back({&path, kNotTried});
    } else if (const DWORD code = check.Folder(i).code ? check.Folder(i).code : RemoveListedFolder(path)) {
      refusals.push_back(Refused(path, code));
    }
    pacer.Step();
  }
  RetryRounds(refusals, first, pacer, [](const Refusal& r) { return RemoveListedFolder(*r.path); });
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
// listed items went in this run. The first `fileRefusals` refusals are the
// files'.
RunResult Tally(const Plan& plan, Refusals& refusals, size_t fileRefusals, const std::vector<std::uint64_t>& bytes,
                  bool stopped) {
  RunResult result;
  result.stopped = stopped;
  result.removed = plan.files.size() + plan.folders.size() - refusals.size();
  result.removedFiles = plan.files.size() - fileRefusals;
  result.removedFolders = plan.folders.size() - (refusals.size() - fileRefusals);
  for (std::uint64_t size : bytes) result.removedBytes += size;
  for (size_t i = 0; i < fileRefusals; ++i) result.removedBytes -= bytes[refusals[i].path - plan.files.data()];
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
  Pacer pacer(progress, plan.files.size() + plan.folders.size(), stop);
  const ProgressFn painted = [&](size_t, size_t) { pacer.Waited(0); };
  FateCheck check(plan, disposal, progress ? painted : nullptr, stop);
  std::vector<std::uint64_t> bytes(plan.files.size());
  if (disposal == Disposal::RecycleBin) RecycleFiles(plan.files, check, bytes, pacer, refusals);
  else FilePass(plan.files, check, bytes, pacer, refusals);
  const size_t fileRefusals = refusals.size();
  if (disposal == Disposal::RecycleBin) RecycleFolders(plan.folders, check, pacer, refusals);
  else FolderPass(plan.folders, check, pacer, refusals);
  return Tally(plan, refusals, fileRefusals, bytes, pacer.Stopped());
}

}  // namespace removal
