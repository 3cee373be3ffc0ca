// The deletion passes on the wide-character file API, with long-path forms
// so that long and non-ANSI names are removed as they are listed.
#include "removal/removal_passes_win.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string_view>
#include <unordered_set>

#include "base/paths.h"
#include "base/texts_win.h"
#include "removal/chunked_pass.h"
#include "removal/fates_win.h"
#include "removal/recycle_bin_win.h"
#include "removal/removal_steps_win.h"

namespace removal {
namespace {

using Refusals = std::vector<Refusal>;

constexpr size_t kFileChunk = 2000;
// Fewer sibling folders than this go one by one, not worth the workers.
constexpr size_t kFewSiblings = 8;
constexpr size_t kFolderChunk = 8;

class Stopwatch {
 public:
  // Seconds since the last lap (or since it was made).
  double Lap() {
    const auto now = std::chrono::steady_clock::now();
    const double seconds = std::chrono::duration<double>(now - last_).count();
    last_ = now;
    return seconds;
  }

 private:
  std::chrono::steady_clock::time_point last_ = std::chrono::steady_clock::now();
};

// Removes an item that the verdict let through; a read-only one goes too.
DWORD RemoveItem(const std::wstring& apiPath, BOOL(WINAPI* remove)(LPCWSTR)) {
  if (remove(apiPath.c_str())) return 0;
  const DWORD code = GetLastError();
  if (code != ERROR_ACCESS_DENIED) return code;
  return WithoutReadOnly(apiPath, code, [&] { return remove(apiPath.c_str()) != FALSE; });
}

DWORD DeleteListedFile(const std::wstring& path) { return RemoveItem(base::paths::Verbatim(path), DeleteFileW); }
DWORD RemoveListedFolder(const std::wstring& path) { return RemoveItem(base::paths::Verbatim(path), RemoveDirectoryW); }

// Runs items [begin, end) of a pass on the workers; their refusals join
// `refusals` in pass order, as going through them one by one gives them.
void InChunks(const std::vector<std::wstring>& paths, size_t begin, size_t end, size_t chunkItems,
              const std::function<DWORD(size_t)>& work, Pacer& pacer, Refusals& refusals) {
  size_t shown = 0;
  ChunkSetup setup{DeleteWorkerCount(), chunkItems};
  setup.stop = pacer.StopFlag();
  const std::vector<ItemFailure> failures = RunInChunks(
      end - begin, [&](size_t i) -> unsigned long { return work(begin + i); },
      [&](size_t done) {
        pacer.Waited(done - shown);
        shown = done;
      },
      setup);
  pacer.Step(end - begin - shown);
  for (const ItemFailure& f : failures) refusals.push_back(Refused(paths[begin + f.index], static_cast<DWORD>(f.code)));
}

// The files go on a few worker threads (much of a delete is spent outside
// the calling thread, in the file system, so even two cores gain); the
// retries run here, as they would on one thread.
void FilePass(const std::vector<std::wstring>& files, FateCheck& check, std::vector<std::uint64_t>& bytes, Pacer& pacer,
              Refusals& refusals) {
  const size_t first = refusals.size();
  InChunks(
      files, 0, files.size(), kFileChunk,
      [&](size_t i) -> DWORD {
        if (const DWORD refused = check.Listed(i)) return refused;
        const std::wstring apiPath = check.ApiPath(i);
        const Verdict verdict = check.Look(i, &apiPath);
        if (verdict.code) return verdict.code;
        bytes[i] = verdict.bytes;
        return RemoveItem(apiPath, DeleteFileW);
      },
      pacer, refusals);
  RetryRounds(refusals, first, pacer, [](const Refusal& r) { return DeleteListedFile(*r.path); });
}

// Where the parent folder of a listed folder ends, as written; npos for a
// folder whose last name is "." or ".." (it may be the parent of others).
size_t ParentEnd(const std::wstring& path) {
  const size_t slash = base::paths::ParentEnd(path);
  return slash == std::wstring::npos || base::paths::IsStep(base::paths::LastName(path)) ? std::wstring::npos : slash;
}

// The end of the run of folders from `begin` on that are written in one
// parent folder: none of them holds another, so they can go at once.
size_t SiblingsEnd(const std::vector<std::wstring>& folders, size_t begin) {
  const size_t parent = ParentEnd(folders[begin]);
  if (parent == std::wstring::npos) return begin + 1;
  size_t end = begin + 1;
  while (end < folders.size() && ParentEnd(folders[end]) == parent &&
         folders[end].compare(0, parent, folders[begin], 0, parent) == 0)
    ++end;
  return end;
}

// Sibling folders go on the workers, a run of them at a time, so that each
// folder is still tried after everything listed before it in pass order
// that it could hold.
void FolderPass(const std::vector<std::wstring>& folders, const FateCheck& check, Pacer& pacer, Refusals& refusals) {
  const size_t first = refusals.size();
  auto work = [&](size_t i) -> DWORD {
    return check.Folder(i).code ? check.Folder(i).code : RemoveListedFolder(folders[i]);
  };
  for (size_t begin = 0, end = 0; begin < folders.size(); begin = end) {
    end = SiblingsEnd(folders, begin);
    if (end - begin >= kFewSiblings) {
      InChunks(folders, begin, end, kFolderChunk, work, pacer, refusals);
      continue;
    }
    for (size_t i = begin; i < end; ++i) {
      if (pacer.Stopped())
        refusals.push_back({&folders[i], kNotTried});
      else if (const DWORD code = work(i))
        refusals.push_back(Refused(folders[i], code));
      pacer.Step();
    }
  }
  RetryRounds(refusals, first, pacer, [](const Refusal& r) { return RemoveListedFolder(*r.path); });
  AgainOnceEmptied(refusals, first, pacer, [](const Refusal& r) { return RemoveListedFolder(*r.path); });
}

// Whether a refused item counts as left: one the run did not look for on
// purpose always does; one that cannot be looked at (an unreachable server,
// a name no file can have) does too; one that is not found is gone, unless
// its whole drive is not there.
bool CountsAsLeft(Refusal& r, DriveCheck& drives) {
  if (r.code == kRefusedPath || r.code == kThroughLink || r.code == kFileWithSeparator) return true;
  const std::wstring apiPath = base::paths::Verbatim(*r.path);
  if (!base::paths::IsGone(apiPath)) return true;
  if (!drives.Missing(apiPath)) return false;
  r.code = kDriveMissing;
  return true;
}

// Why a listed folder that is not empty stays: how many of its items the
// list does not name (the listed ones that stayed are reported themselves).
class HeldReasons {
 public:
  explicit HeldReasons(const Plan& plan) : plan_(plan) {}

  std::wstring For(const std::wstring& folder) {
    if (listed_.empty()) {
      for (const auto* paths : {&plan_.files, &plan_.folders})
        for (const std::wstring& path : *paths) listed_.insert(base::paths::PathKey(path));
    }
    const std::wstring parent = base::paths::WithSeparator(base::paths::PathKey(folder));
    std::vector<FolderEntry> entries;
    ListFolder(base::paths::Verbatim(folder), entries);
    size_t unlisted = 0;
    for (const FolderEntry& entry : entries)
      unlisted += listed_.count(parent + base::paths::FoldCase(entry.name)) ? 0 : 1;
    return HeldText(unlisted, 0, false, base::text::UserNumberStyle());
  }

 private:
  const Plan& plan_;
  std::unordered_set<std::wstring> listed_;
};

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
  HeldReasons held(plan);
  for (Refusal& r : refusals) {
    if (!CountsAsLeft(r, drives)) continue;
    if (!seen.insert(*r.path).second) continue;
    result.leftovers.push_back({*r.path, r.code == ERROR_DIR_NOT_EMPTY ? held.For(*r.path) : RefusalReason(r)});
  }
  return result;
}

}  // namespace

RunResult RunPasses(const Plan& plan, const ProgressFn& progress, Disposal disposal, const std::atomic<bool>* stop) {
  Refusals refusals;
  Pacer pacer(progress, plan.files.size() + plan.folders.size(), stop);
  const ProgressFn painted = [&](size_t, size_t) { pacer.Waited(0); };
  Stopwatch watch;
  FateCheck check(plan, disposal, progress ? painted : nullptr, stop);
  const double checkSeconds = watch.Lap();
  std::vector<std::uint64_t> bytes(plan.files.size());
  if (disposal == Disposal::RecycleBin)
    RecycleFiles(plan.files, check, bytes, pacer, refusals);
  else
    FilePass(plan.files, check, bytes, pacer, refusals);
  const double filesSeconds = watch.Lap();
  const size_t fileRefusals = refusals.size();
  if (disposal == Disposal::RecycleBin)
    RecycleFolders(plan.folders, check, pacer, refusals);
  else
    FolderPass(plan.folders, check, pacer, refusals);
  const double foldersSeconds = watch.Lap();
  RunResult result = Tally(plan, refusals, fileRefusals, bytes, pacer.Stopped());
  result.checkSeconds = checkSeconds;
  result.filesSeconds = filesSeconds;
  result.foldersSeconds = foldersSeconds;
  result.tallySeconds = watch.Lap();
  return result;
}

}  // namespace removal
