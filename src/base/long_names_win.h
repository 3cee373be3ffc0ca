// The long names of many folders that share their parents (a routine's
// keys, every routine below one variable's folder), each parent's looked up
// once: LongNames asks the file system for every name of every
// path, which for a profile of thousands of routines cost more than walking
// their folders.
#pragma once
#include <string>
#include <unordered_map>

namespace base::paths {

// Not shared between threads: each worker answering routines has its own.
class LongNamesOnce {
 public:
  // The path spelled by its long names, as LongNames gives it
  // for a path Wine or Windows spells back name by name as listed.
  std::wstring Of(const std::wstring& path);

 private:
  std::unordered_map<std::wstring, std::wstring> known_;  // by the path as asked
};

}  // namespace base::paths
