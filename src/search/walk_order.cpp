// The walk order and the parallel walk. The workers share only the inbox
// (under one mutex) and the stop flag; the order itself lives on the
// calling thread.
#include "search/walk_order.h"

namespace search {

WalkOrder::WalkOrder(size_t rootId) { pending_.push_back({std::wstring(), false, rootId}); }

void WalkOrder::Add(size_t id, FolderListing listing) { arrived_.emplace(id, std::move(listing)); }

bool WalkOrder::Next(WalkStep& step) {
  if (pending_.empty()) return false;
  Subfolder& next = pending_.back();
  step.link = next.link;
  if (next.link) {
    step.folder = FolderListing();
    step.folder.path = std::move(next.path);
    pending_.pop_back();
    return true;
  }
  auto found = arrived_.find(next.id);
  if (found == arrived_.end()) return false;
  step.folder = std::move(found->second);
  arrived_.erase(found);
  pending_.pop_back();
  std::vector<Subfolder>& subfolders = step.folder.subfolders;
  for (auto it = subfolders.rbegin(); it != subfolders.rend(); ++it) pending_.push_back(std::move(*it));
  subfolders.clear();
  return true;
}

size_t ListingWorkers() { return 2 * base::WorkerPool::DefaultSize(); }

ParallelWalk::ParallelWalk(size_t workers, FolderLister lister) : lister_(std::move(lister)), pool_(workers) {}

void ParallelWalk::Start(const std::wstring& folder) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    outstanding_ = 1;
  }
  pool_.Post([this, folder] { List(0, folder); });
}

WalkState ParallelWalk::Next(WalkStep& step, std::chrono::milliseconds wait) {
  if (stop_) return WalkState::Done;
  if (order_.Next(step)) return WalkState::Ready;
  if (order_.Done()) return WalkState::Done;
  Collect(wait);
  return order_.Next(step) ? WalkState::Ready : WalkState::Waiting;
}

void ParallelWalk::Stop() {
  stop_ = true;
  pool_.CancelPending();
  pool_.Wait();
}

// Runs on a worker.
void ParallelWalk::List(size_t id, const std::wstring& folder) {
  if (stop_) return;
  try {
    Deliver(id, lister_(folder, stop_));
  } catch (...) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!failure_) failure_ = base::trap::CarryCurrent();
    finished_.notify_all();
  }
}

// Numbers the subfolders to be listed, hands the listing to the calling
// thread and queues the subfolders, the first one ahead of everything.
void ParallelWalk::Deliver(size_t id, FolderListing listing) {
  if (stop_) return;
  std::vector<std::pair<size_t, std::wstring>> toList;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (Subfolder& sub : listing.subfolders) {
      if (sub.link) continue;
      sub.id = nextId_++;
      toList.emplace_back(sub.id, sub.path);
    }
    outstanding_ += toList.size();
    --outstanding_;
    inbox_.emplace_back(id, std::move(listing));
    if (outstanding_ == 0) finished_.notify_all();
  }
  for (auto it = toList.rbegin(); it != toList.rend(); ++it)
    pool_.PostFirst([this, id = it->first, path = std::move(it->second)] { List(id, path); });
}

// Waits up to wait for the walk to end unless listings are already in,
// then moves what arrived into the order. Waking for every listing would
// cost the workers more than it gains.
void ParallelWalk::Collect(std::chrono::milliseconds wait) {
  std::vector<std::pair<size_t, FolderListing>> arrived;
  {
    std::unique_lock<std::mutex> lock(mutex_);
    finished_.wait_for(lock, wait, [this] { return !inbox_.empty() || outstanding_ == 0 || failure_; });
    if (failure_) base::trap::Rethrow(failure_);
    arrived.swap(inbox_);
  }
  for (auto& [id, listing] : arrived) order_.Add(id, std::move(listing));
}

}  // namespace search
