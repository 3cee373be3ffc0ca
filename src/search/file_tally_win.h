// TallyFiles: how many files below a folder a test takes, and their size;
// TakeFiles: the same files by their full paths, with the folders walked.
// Both run on the search's parallel walk (walk_order.h). Links, junctions
// and mount points inside the folder are never entered. The test runs on
// the walk's workers, several at once.
#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace search {

// One file as its folder's listing gives it.
struct ListedFile {
  std::wstring_view folder;  // the folder listed, with its closing "\"
  std::wstring_view name;
  uint64_t size = 0;
  uint64_t lastWritten = 0;  // 100-ns ticks since 1601
};

struct FileTally {
  uint64_t files = 0;
  uint64_t bytes = 0;
  bool stopped = false;  // the counts are those found before the stop
};

using FileTest = std::function<bool(const ListedFile& file)>;

// Walks `folder` (and its subfolders when `subfolders`) and counts the files
// `takes` says yes to. Returns when the walk is done or soon after `stop` is
// set. An unreadable folder counts nothing.
FileTally TallyFiles(const std::wstring& folder, bool subfolders, const FileTest& takes, const std::atomic<bool>& stop);

// One folder the walk listed (or a link it passed by), with what it keeps.
struct WalkedFolder {
  std::wstring path;  // with its closing "\"
  bool link = false;  // reported, never entered
  size_t kept = 0;    // files not taken; 1 at least when its listing failed or ended early
};

// The files a test takes, in walk order, and every folder walked (the
// starting folder first, then each subfolder before what it holds).
struct FileTake {
  std::vector<std::wstring> files;  // full paths
  std::vector<uint64_t> sizes;      // of each file, as listed
  std::vector<WalkedFolder> folders;
  bool stopped = false;  // what was found before the stop
};
FileTake TakeFiles(const std::wstring& folder, bool subfolders, const FileTest& takes, const std::atomic<bool>& stop);
// The same take on the calling thread alone, in the same walk order: for
// many small folders walked side by side, each on a thread of its own,
// where a parallel walk's own workers would cost more than the listings.
FileTake TakeFilesHere(const std::wstring& folder, bool subfolders, const FileTest& takes,
                       const std::atomic<bool>& stop);

}  // namespace search
