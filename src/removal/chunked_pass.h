// Runs the items of a removal pass on a few worker threads, in contiguous
// chunks, and gives back the ones that failed in pass order: exactly what
// going through them one by one on one thread gives, whatever order the
// chunks finish in. The calling thread only waits, in short slices, and
// is told how far the workers are, so it can keep its window painted.
// Portable: standard threads only.
#pragma once
#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <vector>

namespace removal {

// An item that did not go: its place in the pass and a nonzero code.
struct ItemFailure {
  size_t index;
  unsigned long code;
};

// Handles the item at this place: 0 when done, otherwise why not. Runs on
// the workers, several at once, so it must touch nothing shared but the item.
using ItemWork = std::function<unsigned long(size_t index)>;
// Called on the calling thread after each slice of waiting, with the
// number of items done so far.
using DoneSoFar = std::function<void(size_t done)>;

// The code an item gets when the pass was stopped before it was handled.
constexpr unsigned long kNotTried = 0xFFFFFFF0ul;

struct ChunkSetup {
  size_t workers;
  size_t chunkItems = 2000;
  std::chrono::milliseconds slice{25};
  // When set and raised (from any thread), every worker ends after the item
  // in hand; the items no worker took come back as failures with kNotTried.
  const std::atomic<bool>* stop = nullptr;
};

// How many workers a pass of deletes gets: a delete mostly waits on the
// file system, so twice the pool's default (4 to 16) keeps the disk busier
// than one worker per processor does.
size_t DeleteWorkerCount();

// Handles items [0, count) and returns the failures in item order. An
// exception an item lets out is thrown here once every chunk has ended;
// one thrown by doneSoFar leaves at once, after the chunks that had started.
std::vector<ItemFailure> RunInChunks(size_t count, const ItemWork& work, const DoneSoFar& doneSoFar,
                                     const ChunkSetup& setup);

}  // namespace removal
