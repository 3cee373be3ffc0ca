// How a removal run disposes of its items and how it tells its progress:
// what the passes, the fate decision and the preview share, kept apart so
// that none of them includes another for it.
#pragma once
#include <cstddef>
#include <functional>

namespace removal {

// Called a few times a second while the passes run: items done, items in all.
using ProgressFn = std::function<void(size_t done, size_t total)>;

// Deleting for good, or moving to the Recycle Bin.
enum class Disposal { Delete, RecycleBin };

}  // namespace removal
