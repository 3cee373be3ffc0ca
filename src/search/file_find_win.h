// FileFinder: searches a folder, and on request every folder below it, for
// files whose names fit a pattern. Found files go to FileList, visited
// folders to FolderList (found_lists.h). The walk is depth first and
// pre-order: a folder's CurrentFolder event, its matching files, its own
// FolderList entry, then its subfolders one after another. Folders are
// listed on a small pool of worker threads (walk_order.h); the events and
// the found lists are filled in that order on the thread that called
// SearchFile. A window runs the search on a thread of its own through
// BackgroundSearch, and keeps its one message loop meanwhile. A stopped
// search leaves the found lists as they were.
//
// A subfolder that is a reparse point (junction, directory link, mount
// point) is not entered: it gets its FolderList entry, so that the link
// itself can be removed, but nothing behind it is listed or counted, and it
// raises no CurrentFolder event.
#pragma once
#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "search/file_spec.h"
#include "search/walk_order.h"

namespace search {

class FileFinder {
 public:
  // Raised for each folder about to be examined, without its closing "\"
  // (a drive root keeps it: C:\).
  std::function<void(const std::wstring& FolderPath)> CurrentFolder;
  // Raised once at the end of every SearchFile call.
  std::function<void(long FileCount, long Result)> Finished;

  // Runs the whole search before it returns; the outcome is in the found
  // lists and in the Finished event.
  void SearchFile(const std::wstring& Pathname, bool subFolders, bool caseSensitive);
  // Ends a running walk within a few milliseconds; Finished then reports
  // UserCanceled. May be called from any thread.
  void StopSearch() { resultFlag_ = UserCanceled; }

  bool RecursiveSearch() const { return recurse_; }
  void RecursiveSearch(bool on) { recurse_ = on; }
  bool CaseSensitive() const { return caseSensitive_; }
  void CaseSensitive(bool on) { caseSensitive_ = on; }

 private:
  void Walk(const std::wstring& startFolder);
  // Counts one listed folder's matching entries and moves its files and the
  // folder itself into the found lists.
  void TakeFolder(FolderListing& folder);
  void FoundFile(std::wstring&& path);
  void FoundFolder(std::wstring&& path);
  long ResultFlag() const { return resultFlag_.load(std::memory_order_relaxed); }

  std::wstring fileSpec_;
  long found_ = 0;
  bool recurse_ = false;
  bool caseSensitive_ = false;
  std::atomic<long> resultFlag_{DirExSuccess};
};

// A folder search for a window, on a thread of its own: the window gets
// `progressMessage` (at most about thirty a second) while it runs and
// `endMessage` once when it ends; its message loop runs on meanwhile. The
// found lists belong to the search until its end message.
class BackgroundSearch {
 public:
  BackgroundSearch() = default;
  ~BackgroundSearch() { Forget(); }
  BackgroundSearch(const BackgroundSearch&) = delete;
  BackgroundSearch& operator=(const BackgroundSearch&) = delete;

  // False when no thread could be started; nothing was searched then.
  bool Start(HWND window, UINT progressMessage, UINT endMessage, const std::wstring& pattern, bool subFolders);
  // From any thread: the search ends within a few milliseconds, stopped.
  void Stop();
  // On the progress message: the folder being searched (as CurrentFolder
  // gives it), empty before the first; lets the next progress message come.
  std::wstring TakeProgress();
  // On the end message: true once this search has ended.
  bool Ended() const;
  // Once ended: the result flag (DirExSuccess, NoFilesFound, UserCanceled...).
  long Result() const;
  // Nothing more is posted to the window; a search still running is stopped.
  void Forget();

 private:
  struct State;
  std::shared_ptr<State> state_;
};

// The platform's answers for the path split (full path, attributes, first
// listed name), with long paths passed in their long-path form.
class Win32PathProbe : public PathProbe {
 public:
  std::wstring FullPathName(const std::wstring& path) override;
  uint32_t Attributes(const std::wstring& path) override;
  std::wstring FirstListedName(const std::wstring& path) override;
};

}  // namespace search
