// The items the routines window's entries take, each kept once by its path
// key, so that the total of several ticked entries counts an item that two
// of them take once, as the preview and the run do. The keys are made on
// the workers (base::paths::PathKey); an entry keeps only the ids of its
// items, so a file of thousands of entries holds each key once. Portable.
#pragma once
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace app {

// One item an entry takes: its path key, and its bytes (a folder's none).
struct TakenItem {
  std::wstring key;
  uint64_t bytes = 0;
  bool folder = false;
};

// What several entries take together, each item once.
struct TakenTotal {
  uint64_t files = 0;
  uint64_t folders = 0;
  uint64_t bytes = 0;
};

class TakenItems {
 public:
  using Ids = std::vector<uint32_t>;

  // Keeps an entry's items and gives their ids; an item kept before (by
  // another entry) keeps its id and the bytes it was first given.
  Ids Keep(std::vector<TakenItem>&& items);
  // The union of the items of the entries given by their ids.
  TakenTotal Total(const std::vector<const Ids*>& entries) const;
  void Clear();

 private:
  std::unordered_map<std::wstring, uint32_t> ids_;
  std::vector<uint64_t> bytes_;  // by id
  std::vector<bool> folders_;    // by id
};

}  // namespace app
