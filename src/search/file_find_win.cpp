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
#include "search/found_lists.h"
#include "search/name_pattern.h"

namespace search {
namespace {

// How long the calling thread waits for listings before it looks again.
constexpr std::chrono::milliseconds kCollectMs{10};
#ifndef FIND_FIRST_EX_LARGE_FETCH
#define FIND_FIRST_EX_LARGE_FETCH 2
#endif

bool IsDots(const wchar_t* name) {
  return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

HANDLE OpenListing(const std::wstring& pattern, WIN32_FIND_DATAW& data) {
  return FindFirstFileExW(base::paths::Verbatim(pattern).c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                          FIND_FIRST_EX_LARGE_FETCH);
}

// What a listing looks for; copied into each worker's task.
struct ListingRules {
  std::wstring spec;
  bool recurse;
  bool caseSensitive;
};

// Runs take on each listed entry but "." and "..", until take says no or
// the walk is stopped. An unreadable folder lists nothing.
template <class Take>
void Enumerate(const std::wstring& pattern, const std::atomic<bool>& stop, Take&& take) {
  WIN32_FIND_DATAW data;
  base::win::unique_hfind find(OpenListing(pattern, data));
  if (!find) return;
  do {
    if (stop) return;
    if (!IsDots(data.cFileName) && !take(data)) return;
  } while (FindNextFileW(find.get(), &data));
}

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
    Enumerate(folder + L"*", stop, [&](const WIN32_FIND_DATAW& data) {
      if (rules.recurse && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        listing.subfolders.push_back({base::paths::EntryPath(folder, data.cFileName, true), base::IsLinkEntry(data)});
      if (singleRead && usable) usable = TakeEntry(rules, data, listing);
      return true;
    });
  }
  if (!singleRead) {
    Enumerate(folder + rules.spec, stop, [&](const WIN32_FIND_DATAW& data) { return TakeEntry(rules, data, listing); });
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
  std::wstring pattern = path.empty() || path.back() != L'\\' ? path : path + L"*.*";
  WIN32_FIND_DATAW data;
  base::win::unique_hfind find(OpenListing(pattern, data));
  if (!find) return std::wstring();
  do {
    if (!(data.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))) return data.cFileName;
  } while (FindNextFileW(find.get(), &data));
  return std::wstring();
}

void FileFinder::SearchFile(const std::wstring& Pathname, bool subFolders, bool caseSensitive) {
  const size_t filesBefore = FileList.size(), foldersBefore = FolderList.size();
  try {
    if (Pathname.empty()) {
      resultFlag_ = PathNameNotValid;
    } else {
      RecursiveSearch(subFolders);
      CaseSensitive(caseSensitive);
      found_ = 0;
      resultFlag_ = DirExSuccess;
      std::wstring start = Pathname;
      Win32PathProbe probe;
      long flag = DirExSuccess;
      const bool found = FileSpec(probe, start, fileSpec_, flag);
      resultFlag_ = flag;
      if (found) {
        Walk(start);
        if (found_ == 0 && resultFlag_ == DirExSuccess) resultFlag_ = NoFilesFound;
      }
    }
  } catch (...) {
    resultFlag_ = DirExFailed;
  }
  // Whatever a stopped search found stays out of the lists.
  if (resultFlag_ == UserCanceled) {
    if (FileList.size() > filesBefore) FileList.resize(filesBefore);
    if (FolderList.size() > foldersBefore) FolderList.resize(foldersBefore);
  }
  if (Finished) Finished(found_, resultFlag_);
}

void FileFinder::Walk(const std::wstring& startFolder) {
  ParallelWalk walk(ListingWorkers(),
                    [rules = ListingRules{fileSpec_, recurse_, caseSensitive_}](
                        const std::wstring& folder, const std::atomic<bool>& stop) {
                      return ListFolder(rules, folder, stop);
                    });
  walk.Start(base::paths::WithSeparator(startFolder));
  WalkStep step;
  while (ResultFlag() == DirExSuccess) {
    WalkState state = walk.Next(step, kCollectMs);
    if (state == WalkState::Done) return;
    if (state == WalkState::Waiting) continue;
    if (step.link) {
      FoundFolder(std::move(step.folder.path));
    } else {
      if (CurrentFolder) CurrentFolder(Qualify(step.folder.path));
      TakeFolder(step.folder);
    }
  }
}

void FileFinder::TakeFolder(FolderListing& folder) {
  // A stop seen while a folder's entries are taken still lists the folder.
  if (ResultFlag() == DirExSuccess) {
    found_ += folder.folders;
    for (std::wstring& file : folder.files) {
      if (ResultFlag() != DirExSuccess) break;
      ++found_;
      FoundFile(std::move(file));
    }
    if (folder.badPattern && resultFlag_ == DirExSuccess) resultFlag_ = DirExFailed;
  }
  FoundFolder(std::move(folder.path));
}

void FileFinder::FoundFile(std::wstring&& path) {
  base::trap::Guard([&] { ST(FileList.push_back(std::move(path))); });
}

void FileFinder::FoundFolder(std::wstring&& path) {
  base::trap::Guard([&] { ST(FolderList.push_back(std::move(path))); });
}

struct BackgroundSearch::State {
  FileFinder finder;
  std::shared_ptr<base::WindowJob> job;
  std::mutex lock;  // guards folder
  std::wstring folder;
  long result = DirExFailed;  // written before the end message
};

bool BackgroundSearch::Start(HWND window, UINT progressMessage, UINT endMessage, const std::wstring& pattern,
                             bool subFolders) {
  Forget();
  auto state = std::make_shared<State>();
  auto work = [state, pattern, subFolders](base::WindowJob& job) {
    state->finder.CurrentFolder = [&](const std::wstring& folder) {
      {
        std::lock_guard<std::mutex> hold(state->lock);
        state->folder = folder;
      }
      job.TellProgress();
    };
    state->finder.Finished = [&](long, long result) { state->result = result; };
    state->finder.SearchFile(pattern, subFolders, false);
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

long BackgroundSearch::Result() const { return Ended() ? state_->result : DirExFailed; }

void BackgroundSearch::Forget() {
  if (!state_) return;
  state_->job->Forget();
  state_->finder.StopSearch();
  state_.reset();
}

}  // namespace search
