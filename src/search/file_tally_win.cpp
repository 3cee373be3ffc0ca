// The tally and the take of a folder's files on the parallel walk: each
// worker lists a folder and tests its files; the tally adds to shared
// counts, the take keeps the paths in the listing, and the calling thread
// keeps the walk going (and, for the take, gathers the steps in order).
#include "search/file_tally_win.h"

#include <windows.h>

#include <chrono>

#include "base/file_identity_win.h"
#include "base/paths.h"
#include "base/worker_pool.h"
#include "base/folder_listing_win.h"
#include "search/walk_order.h"

namespace search {
namespace {

constexpr std::chrono::milliseconds kCollectMs{10};

struct Counts {
  std::atomic<uint64_t> files{0};
  std::atomic<uint64_t> bytes{0};
};

uint64_t Join(DWORD high, DWORD low) { return (static_cast<uint64_t>(high) << 32) | low; }

// Lists one folder: counts the files `takes` says yes to and, when `keep`,
// keeps their paths and sizes and how many entries are left (a subfolder
// not walked counts as left).
FolderListing ListAndTest(const std::wstring& folder, bool subfolders, const FileTest& takes, bool keep, Counts& counts,
                          const std::atomic<bool>& stop) {
  FolderListing listing;
  listing.path = folder;
  const bool whole = base::ListEntries(folder, L"*", stop, [&](const WIN32_FIND_DATAW& data) {
    const std::wstring_view name(data.cFileName);
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (subfolders)
        listing.subfolders.push_back({base::paths::EntryPath(folder, name, true), base::IsLinkEntry(data)});
      else
        ++listing.kept;
      return true;
    }
    const ListedFile file{folder, name, Join(data.nFileSizeHigh, data.nFileSizeLow),
                          Join(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime)};
    if (!takes(file)) {
      ++listing.kept;
      return true;
    }
    counts.files.fetch_add(1, std::memory_order_relaxed);
    counts.bytes.fetch_add(file.size, std::memory_order_relaxed);
    if (!keep) return true;
    // In one block (see EntryPath): the walk slowed five-fold once earlier
    // work had filled Wine's heap when each path grew block by block.
    listing.files.push_back(base::paths::EntryPath(folder, name));
    listing.sizes.push_back(file.size);
    return true;
  });
  // A folder not listed, or listed only in part, may hold more.
  if (!whole) listing.kept += 1;
  return listing;
}

// Adds a listing's files and its folder to the take.
void AddToTake(FolderListing& listed, bool link, FileTake& take) {
  take.folders.push_back({std::move(listed.path), link, listed.kept});
  for (size_t i = 0; i < listed.files.size(); ++i) {
    take.files.push_back(std::move(listed.files[i]));
    take.sizes.push_back(listed.sizes[i]);
  }
}

// Runs the walk to its end or the stop, giving each step to `step`; true
// when it was stopped.
bool Walk(const std::wstring& folder, bool subfolders, const FileTest& takes, bool keep, Counts& counts,
          const std::atomic<bool>& stop, const std::function<void(WalkStep&)>& onStep) {
  ParallelWalk walk(ListingWorkers(), [&](const std::wstring& listed, const std::atomic<bool>& walkStop) {
    return ListAndTest(listed, subfolders, takes, keep, counts, walkStop);
  });
  walk.Start(base::paths::WithSeparator(folder));
  WalkStep step;
  while (!stop) {
    const WalkState state = walk.Next(step, kCollectMs);
    if (state == WalkState::Done) break;
    if (state == WalkState::Ready && onStep) onStep(step);
  }
  return stop;
}  // the workers have ended when the walk is gone

}  // namespace

FileTally TallyFiles(const std::wstring& folder, bool subfolders, const FileTest& takes,
                     const std::atomic<bool>& stop) {
  Counts counts;
  FileTally tally;
  tally.stopped = Walk(folder, subfolders, takes, false, counts, stop, nullptr);
  tally.files = counts.files;
  tally.bytes = counts.bytes;
  return tally;
}

FileTake TakeFiles(const std::wstring& folder, bool subfolders, const FileTest& takes, const std::atomic<bool>& stop) {
  Counts counts;
  FileTake take;
  take.stopped = Walk(folder, subfolders, takes, true, counts, stop,
                      [&](WalkStep& step) { AddToTake(step.folder, step.link, take); });
  return take;
}

FileTake TakeFilesHere(const std::wstring& folder, bool subfolders, const FileTest& takes,
                       const std::atomic<bool>& stop) {
  Counts counts;
  FileTake take;
  // Depth first, pre-order: the next folder on top.
  std::vector<Subfolder> pending{{base::paths::WithSeparator(folder), false, 0}};
  while (!pending.empty() && !stop) {
    Subfolder next = std::move(pending.back());
    pending.pop_back();
    if (next.link) {
      FolderListing link;
      link.path = std::move(next.path);
      AddToTake(link, true, take);
      continue;
    }
    FolderListing listed = ListAndTest(next.path, subfolders, takes, true, counts, stop);
    for (auto sub = listed.subfolders.rbegin(); sub != listed.subfolders.rend(); ++sub)
      pending.push_back(std::move(*sub));
    AddToTake(listed, false, take);
  }
  take.stopped = stop;
  return take;
}

}  // namespace search
