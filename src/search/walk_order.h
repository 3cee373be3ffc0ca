// The folder search's order when folders are listed in parallel: WalkOrder
// puts listings that arrive in any order back into the single-threaded
// walk's order (depth first, pre-order), and ParallelWalk runs the listings
// on a worker pool and hands them over in that order.
#pragma once
#include <atomic>
#include <cstdint>
#include <chrono>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <condition_variable>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "base/error_trap.h"
#include "base/worker_pool.h"

namespace search {

struct Subfolder {
  std::wstring path;  // with its closing "\"
  bool link = false;  // reported, never entered
  size_t id = 0;      // names its listing (not used for links)
};

// What one listing of a folder found.
struct FolderListing {
  std::wstring path;                  // with its closing "\"
  std::vector<std::wstring> files;    // full paths of the matching files, in listing order
  long folders = 0;                   // matching entries that are folders (counted, not found)
  bool badPattern = false;            // the name test failed after the entries above
  std::vector<Subfolder> subfolders;  // in listing order; empty when not recursing
  std::vector<uint64_t> sizes;        // of each file, when the lister keeps them
  size_t kept = 0;                    // entries the lister left out, when it counts them
};

// One step of the walk: a listed folder, or a link (only folder.path set).
struct WalkStep {
  bool link = false;
  FolderListing folder;
};

// Single-threaded: takes listings in any order, gives steps in walk order.
class WalkOrder {
 public:
  // The walk starts with the folder whose listing has id rootId.
  explicit WalkOrder(size_t rootId);
  void Add(size_t id, FolderListing listing);
  // The next step, once its listing is there; false while it is missing
  // and when the walk is done. The step's subfolders are taken over here.
  bool Next(WalkStep& step);
  bool Done() const { return pending_.empty(); }

 private:
  std::vector<Subfolder> pending_;  // the next step on top
  std::unordered_map<size_t, FolderListing> arrived_;
};

// Lists one folder; runs on the workers, several at once. It may give up
// early (with any result) once stop is set.
using FolderLister = std::function<FolderListing(const std::wstring& folder, const std::atomic<bool>& stop)>;

enum class WalkState { Ready, Waiting, Done };

// How many folders a walk lists at once: twice the worker pool's default.
// A listing mostly waits (on the disk, and under Wine on its server as
// well), so a second lister per processor keeps the processors busy; it
// listed the benchmark's tree about a tenth faster than one per processor,
// each search in a fresh process as the program's are.
size_t ListingWorkers();

// The listings run on a worker pool; Next, Stop and the destructor belong
// to the thread that called Start. A listing's subfolders are queued ahead
// of older work, so the workers keep close to the walk order and few
// listings wait to be handed on.
class ParallelWalk {
 public:
  ParallelWalk(size_t workers, FolderLister lister);
  ~ParallelWalk() { Stop(); }

  void Start(const std::wstring& folder);
  // Ready with the next step filled in; Waiting when it has not arrived
  // within wait; Done at the end or after Stop. Rethrows an exception the
  // lister let out.
  WalkState Next(WalkStep& step, std::chrono::milliseconds wait);
  // Drops the listings not started, tells the running ones to give up and
  // returns once they have.
  void Stop();

 private:
  void List(size_t id, const std::wstring& folder);
  void Deliver(size_t id, FolderListing listing);
  void Collect(std::chrono::milliseconds wait);

  const FolderLister lister_;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::condition_variable finished_;  // nothing outstanding, or a failure
  // Guarded by mutex_:
  std::vector<std::pair<size_t, FolderListing>> inbox_;
  size_t outstanding_ = 0;  // listings queued or running
  size_t nextId_ = 1;
  base::trap::Carried failure_;
  // The calling thread's own:
  WalkOrder order_{0};
  base::WorkerPool pool_;  // last, so that its workers end first
};

}  // namespace search
