// FileFinder: the folder search (a folder, and on request every folder
// below it, for files whose names fit a pattern), walked depth first with
// folders listed on a small worker pool and handed back as a value; links
// get their folder entry but are never entered. BackgroundSearch runs it
// for a window on a thread of its own.
#pragma once
#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "search/file_spec.h"
#include "search/search_result.h"
#include "search/walk_order.h"

namespace search {

class FileFinder {
 public:
  // Hears each folder about to be examined, without its closing "\" (a
  // drive root keeps it: C:\).
  using FolderHeard = std::function<void(const std::wstring& folder)>;

  // Runs the whole search before it returns, and returns what it found.
  SearchResult SearchFile(const std::wstring& Pathname, bool subFolders, bool caseSensitive,
                          const FolderHeard& currentFolder = nullptr);
  // Ends a running walk within a few milliseconds; its result is then
  // UserCanceled, with nothing found. May be called from any thread; a stop
  // asked for while no walk runs does not reach the next one.
  void StopSearch() { stopped_ = true; }

 private:
  std::atomic<bool> stopped_{false};
};

// A folder search for a window, on a thread of its own: the window gets
// `progressMessage` (at most about thirty a second) while it runs and
// `endMessage` once when it ends; its message loop runs on meanwhile.
class BackgroundSearch {
 public:
  // The window's own work on a finished walk's result, done on the
  // search's thread before the end message, so that the window only takes
  // what it made. It does not run after a stop.
  using AfterWalk = std::function<void(SearchResult& found)>;

  BackgroundSearch() = default;
  ~BackgroundSearch() { Forget(); }
  BackgroundSearch(const BackgroundSearch&) = delete;
  BackgroundSearch& operator=(const BackgroundSearch&) = delete;

  // False when no thread could be started; nothing was searched then.
  bool Start(HWND window, UINT progressMessage, UINT endMessage, const std::wstring& pattern, bool subFolders,
             AfterWalk afterWalk = nullptr);
  // From any thread: the search ends within a few milliseconds, stopped.
  void Stop();
  // On the progress message: the folder being searched (as CurrentFolder
  // gives it), empty before the first; lets the next progress message come.
  std::wstring TakeProgress();
  // On the end message: true once this search has ended.
  bool Ended() const;
  // Once ended: what the search found, handed over (a second call gives an
  // empty result, which says DirExFailed).
  SearchResult TakeResult();
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
