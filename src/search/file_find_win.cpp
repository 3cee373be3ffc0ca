// The folder search on the platform's directory enumeration: the workers
// list folders (each read once when the pattern lets every name through),
// the calling thread takes the listings in walk order; BackgroundSearch
// runs all of it on a thread of its own for a window.
#include "search/file_find_win.h"

#include <chrono>
#include <mutex>

#include "base/error_trap.h"
#include "base/file_identity_win.h"
#include "base/handles_win.h"
#include "base/paths.h"
#include "base/paths_win.h"
#include "base/window_job_win.h"
#include "base/folder_listing_win.h"
#include "search/name_pattern.h"

namespace search {
namespace {

// How long the calling thread waits for listings before it looks again.
constexpr std::chrono::milliseconds kCollectMs{10};

// What a listing looks for; copied into each worker's task.
struct ListingRules {
  std::wstring spec;
  bool recurse;
  bool caseSensitive;
};

// Counts an entry that passes the name test and keeps it when it is a
// file; false when the pattern turns out unusable.
bool TakeEntry(const ListingRules& rules, const WIN32_FIND_DATAW& data, FolderListing& listing) {
  if (rules.caseSensitive) {
    PatternFit fit = FitsPattern(data.cFileName, rules.spec);
    if (fit == PatternFit::BadPattern) {
      listing.badPattern = true;
      return false;
    }
    if (fit == PatternFit::DoesNotFit) return true;
  }
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
    ++listing.folders;
  } else {
    listing.files.push_back(base::paths::EntryPath(listing.path, data.cFileName));
  }
  return true;
}

// One folder's listing; runs on a worker. "*" lists exactly what "*.*"
// lists, and Wine answers it without matching each name.
FolderListing ListFolder(const ListingRules& rules, const std::wstring& folder, const std::atomic<bool>& stop) {
  FolderListing listing;
  listing.path = folder;
  const bool singleRead = MatchesEverything(rules.spec);
  bool usable = true;
  if (rules.recurse || singleRead) {
    base::ListEntries(folder, L"*", stop, [&](const WIN32_FIND_DATAW& data) {
      if (rules.recurse && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        listing.subfolders.push_back({base::paths::EntryPath(folder, data.cFileName, true), base::IsLinkEntry(data)});
      if (singleRead && usable) usable = TakeEntry(rules, data, listing);
      return true;
    });
  }
  if (!singleRead) {
    base::ListEntries(folder, rules.spec, stop,
                      [&](const WIN32_FIND_DATAW& data) { return TakeEntry(rules, data, listing); });
  }
  return listing;
}

}  // namespace

// A closing separator asks for the folder's files (it is part of what the
// user typed, not of the path's spelling), so it stays.
std::wstring Win32PathProbe::FullPathName(const std::wstring& path) {
  std::wstring full = base::paths::FullPathName(path);
  if (!full.empty() && !path.empty() && base::paths::IsSeparator(path.back())) full = base::paths::WithSeparator(full);
  return full;
}

uint32_t Win32PathProbe::Attributes(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(base::paths::Verbatim(path).c_str());
  return attributes == INVALID_FILE_ATTRIBUTES ? kNoAttributes : attributes;
}

std::wstring Win32PathProbe::FirstListedName(const std::wstring& path) {
  const bool folder = !path.empty() && base::paths::IsSeparator(path.back());
  const std::wstring pattern = folder ? base::paths::JoinPath(path, L"*.*") : path;
  WIN32_FIND_DATAW data;
  base::win::unique_hfind find(FindFirstFileExW(base::paths::Verbatim(pattern).c_str(), FindExInfoBasic, &data,
                                                FindExSearchNameMatch, nullptr, 0));
  if (!find) return std::wstring();
  do {
    if (!(data.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))) return data.cFileName;
  } while (FindNextFileW(find.get(), &data));
  return std::wstring();
}

namespace {

// One search's walk: the listings taken in walk order into its result.
class SearchWalk {
 public:
  SearchWalk(const ListingRules& rules, const std::atomic<bool>& stopped, const FileFinder::FolderHeard& heard)
      : rules_(rules), stopped_(stopped), heard_(heard) {}

  void Run(const std::wstring& startFolder, SearchResult& found) {
    ParallelWalk walk(ListingWorkers(), [rules = rules_](const std::wstring& folder, const std::atomic<bool>& stop) {
      return ListFolder(rules, folder, stop);
    });
    walk.Start(base::paths::WithSeparator(startFolder));
    WalkStep step;
    while (Going(found)) {
      const WalkState state = walk.Next(step, kCollectMs);
      if (state == WalkState::Done) return;
      if (state == WalkState::Waiting) continue;
      if (step.link) {
        found.folders.push_back(std::move(step.folder.path));
      } else {
        if (heard_) heard_(base::paths::Qualify(step.folder.path));
        Take(step.folder, found);
      }
    }
  }

 private:
  bool Going(SearchResult& found) const {
    if (stopped_) found.result = UserCanceled;
    return found.result == DirExSuccess;
  }

  // Counts one listed folder's matching entries and moves its files and the
  // folder itself into the result. A stop seen while a folder's entries are
  // taken still lists the folder.
  void Take(FolderListing& folder, SearchResult& found) const {
    if (Going(found)) {
      found.fileCount += static_cast<long>(folder.folders);
      for (std::wstring& file : folder.files) {
        if (!Going(found)) break;
        ++found.fileCount;
        base::trap::Guard([&] { ST(found.files.push_back(std::move(file))); });
      }
      if (folder.badPattern && found.result == DirExSuccess) found.result = DirExFailed;
    }
    base::trap::Guard([&] { ST(found.folders.push_back(std::move(folder.path))); });
  }

  const ListingRules rules_;
  const std::atomic<bool>& stopped_;
  const FileFinder::FolderHeard& heard_;
};

}  // namespace

SearchResult FileFinder::SearchFile(const std::wstring& Pathname, bool subFolders, bool caseSensitive,
                                    const FolderHeard& currentFolder) {
  SearchResult found;
  stopped_ = false;
  try {
    if (Pathname.empty()) {
      found.result = PathNameNotValid;
    } else {
      std::wstring start = Pathname, spec;
      Win32PathProbe probe;
      long flag = DirExSuccess;
      const bool split = FileSpec(probe, start, spec, flag);
      found.result = flag;
      if (split) {
        SearchWalk(ListingRules{spec, subFolders, caseSensitive}, stopped_, currentFolder).Run(start, found);
        if (found.fileCount == 0 && found.result == DirExSuccess) found.result = NoFilesFound;
      }
    }
  } catch (...) {
    // The failed search's code says only that it failed: the trap says
    // what and where first.
    base::trap::ReportCurrentException();
    found.result = DirExFailed;
  }
  // Whatever a stopped search found is none of its result.
  if (found.result == UserCanceled) {
    found.files.clear();
    found.folders.clear();
  }
  return found;
}

struct BackgroundSearch::State {
  FileFinder finder;
  std::shared_ptr<base::WindowJob> job;
  std::mutex lock;  // guards folder
  std::wstring folder;
  SearchResult found;  // written before the end message
};

bool BackgroundSearch::Start(HWND window, UINT progressMessage, UINT endMessage, const std::wstring& pattern,
                             bool subFolders, AfterWalk afterWalk) {
  Forget();
  auto state = std::make_shared<State>();
  auto work = [state, pattern, subFolders, afterWalk = std::move(afterWalk)](base::WindowJob& job) {
    state->found = state->finder.SearchFile(pattern, subFolders, false, [&](const std::wstring& folder) {
      {
        std::lock_guard<std::mutex> hold(state->lock);
        state->folder = folder;
      }
      job.TellProgress();
    });
    if (afterWalk && state->found.result != UserCanceled) afterWalk(state->found);
  };
  state->job = base::WindowJob::Start(window, progressMessage, endMessage, std::move(work));
  if (!state->job) return false;
  state_ = std::move(state);
  return true;
}

void BackgroundSearch::Stop() {
  if (state_) state_->finder.StopSearch();
}

std::wstring BackgroundSearch::TakeProgress() {
  if (!state_) return std::wstring();
  state_->job->ProgressTaken();
  std::lock_guard<std::mutex> hold(state_->lock);
  return state_->folder;
}

bool BackgroundSearch::Ended() const { return state_ && state_->job->Ended(); }

SearchResult BackgroundSearch::TakeResult() {
  if (!Ended()) return SearchResult();
  SearchResult found = std::move(state_->found);
  state_->found = SearchResult();
  return found;
}

void BackgroundSearch::Forget() {
  if (!state_) return;
  state_->job->Forget();
  state_->finder.StopSearch();
  state_.reset();
}

}  // namespace search
