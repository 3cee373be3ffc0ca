// The tally of a folder's files on the parallel walk: each worker lists a
// folder, tests its files and adds to the shared counts; the calling thread
// only keeps the walk going.
#include "search/file_tally_win.h"

#include <windows.h>

#include <chrono>

#include "base/handles_win.h"
#include "base/paths.h"
#include "base/worker_pool.h"
#include "search/walk_order.h"

namespace search {
namespace {

constexpr std::chrono::milliseconds kCollectMs{10};

struct Counts {
  std::atomic<uint64_t> files{0};
  std::atomic<uint64_t> bytes{0};
};

uint64_t Join(DWORD high, DWORD low) { return (static_cast<uint64_t>(high) << 32) | low; }

// Junctions, directory links and mount points lead somewhere else; other
// reparse points (cloud placeholders) hold the folder's own files.
bool LeadsElsewhere(const WIN32_FIND_DATAW& data) {
  return (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
         (data.dwReserved0 == 0 || IsReparseTagNameSurrogate(data.dwReserved0));
}

FolderListing ListAndCount(const std::wstring& folder, bool subfolders, const FileTest& takes, Counts& counts,
                           const std::atomic<bool>& stop) {
  FolderListing listing;
  listing.path = folder;
  WIN32_FIND_DATAW data;
  base::win::unique_hfind find(FindFirstFileExW(base::paths::Verbatim(folder + L"*").c_str(), FindExInfoBasic, &data,
                                                FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
  if (!find) return listing;
  do {
    if (stop) break;
    const std::wstring_view name(data.cFileName);
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (subfolders && !base::paths::IsStep(name))
        listing.subfolders.push_back({folder + data.cFileName + L'\\', LeadsElsewhere(data)});
      continue;
    }
    const ListedFile file{name, Join(data.nFileSizeHigh, data.nFileSizeLow),
                          Join(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime)};
    if (!takes(file)) continue;
    counts.files.fetch_add(1, std::memory_order_relaxed);
    counts.bytes.fetch_add(file.size, std::memory_order_relaxed);
  } while (FindNextFileW(find.get(), &data));
  return listing;
}

}  // namespace

FileTally TallyFiles(const std::wstring& folder, bool subfolders, const FileTest& takes,
                     const std::atomic<bool>& stop) {
  Counts counts;
  FileTally tally;
  {
    ParallelWalk walk(base::WorkerPool::DefaultSize(),
                      [&](const std::wstring& listed, const std::atomic<bool>& walkStop) {
                        return ListAndCount(listed, subfolders, takes, counts, walkStop);
                      });
    walk.Start(base::paths::WithSeparator(folder));
    WalkStep step;
    while (!stop) {
      if (walk.Next(step, kCollectMs) == WalkState::Done) break;
    }
    tally.stopped = stop;
  }  // the workers have ended here
  tally.files = counts.files;
  tally.bytes = counts.bytes;
  return tally;
}

}  // namespace search
