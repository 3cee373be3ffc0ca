// The chunked pass. Each chunk keeps its failures to itself until it ends;
// then, under the one mutex, it hands them over in its own slot. The only
// other shared thing is the count of items done.
#include "removal/chunked_pass.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <utility>

#include "base/error_trap.h"
#include "base/worker_pool.h"

namespace removal {

namespace {

bool Stopped(const ChunkSetup& setup) { return setup.stop && setup.stop->load(std::memory_order_relaxed); }

}  // namespace

size_t DeleteWorkerCount() { return 2 * base::WorkerPool::DefaultSize(); }

std::vector<ItemFailure> RunInChunks(size_t count, const ItemWork& work, const DoneSoFar& doneSoFar,
                                     const ChunkSetup& setup) {
  const size_t size = std::max<size_t>(setup.chunkItems, 1);
  const size_t chunks = (count + size - 1) / size;
  std::atomic<size_t> done{0};
  std::mutex mutex;
  std::condition_variable ended;
  // Guarded by mutex:
  std::vector<std::vector<ItemFailure>> found(chunks);
  size_t left = chunks;
  base::trap::Carried failure;
  // Last, so that on the way out its workers end before what they use goes.
  base::WorkerPool pool(std::min(setup.workers, chunks));

  for (size_t c = 0; c < chunks; ++c) {
    pool.Post([&, c] {
      std::vector<ItemFailure> mine;
      base::trap::Carried error;
      try {
        const size_t end = std::min(count, (c + 1) * size);
        for (size_t i = c * size; i < end; ++i) {
          if (Stopped(setup)) {
            for (; i < end; ++i) mine.push_back({i, kNotTried});
            break;
          }
          if (const unsigned long code = work(i)) mine.push_back({i, code});
          done.fetch_add(1, std::memory_order_relaxed);
        }
      } catch (...) {
        error = base::trap::CarryCurrent();
      }
      std::lock_guard<std::mutex> lock(mutex);
      found[c] = std::move(mine);
      if (error && !failure) failure = error;
      if (--left == 0) ended.notify_all();
    });
  }
  std::unique_lock<std::mutex> lock(mutex);
  while (!ended.wait_for(lock, setup.slice, [&] { return left == 0; })) {
    lock.unlock();
    doneSoFar(done.load(std::memory_order_relaxed));
    lock.lock();
  }
  if (failure) base::trap::Rethrow(failure);
  std::vector<ItemFailure> failures;
  for (std::vector<ItemFailure>& chunk : found) failures.insert(failures.end(), chunk.begin(), chunk.end());
  return failures;
}

}  // namespace removal
