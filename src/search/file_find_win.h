// clsFileFind: searches a folder, and on request every folder below it, for
// files whose names fit a pattern. Found files go to FileList, visited
// folders to FolderList (found_lists.h). The walk is depth first and
// pre-order: a folder's CurrentFolder event, its matching files, its own
// FolderList entry, then its subfolders one after another. It lets the
// window system run every few tens of milliseconds, so StopSearch can be
// reached from the user interface.
//
// A subfolder that is a reparse point (junction, directory link, mount
// point) is not entered: it gets its FolderList entry, so that the link
// itself can be removed, but nothing behind it is listed or counted, and it
// raises no CurrentFolder event.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "search/file_spec.h"

namespace search {

class clsFileFind {
 public:
  // Raised for each folder about to be examined, without its closing "\"
  // (a drive root keeps it: C:\).
  std::function<void(const std::wstring& FolderPath)> CurrentFolder;
  // Raised once at the end of every SearchFile call.
  std::function<void(long FileCount, long Result)> Finished;
  // Sees each window message the walk takes from the queue while it yields;
  // returning true keeps the message from being dispatched.
  std::function<bool(MSG& message)> MessageFilter;

  // Runs the whole search before it returns; the outcome is in the found
  // lists and in the Finished event.
  void SearchFile(const std::wstring& Pathname, bool blnSubFolders, bool blnCaseSensitive);
  // Ends a running walk at its next check; Finished then reports UserCanceled.
  void StopSearch() { m_ResultFlag = UserCanceled; }

  bool RecursiveSearch() const { return m_Recurse; }
  void RecursiveSearch(bool bVal) { m_Recurse = bVal; }
  bool CaseSensitive() const { return m_CaseSensitive; }
  void CaseSensitive(bool bVal) { m_CaseSensitive = bVal; }

 private:
  // One listed entry; its name lives in names_ (one buffer per folder
  // instead of one allocation per entry).
  struct Entry {
    size_t offset, length;
    DWORD attributes;
  };
  struct Pending {
    std::wstring path;  // with its closing "\"
    bool link;
  };

  void Walk(const std::wstring& startFolder);
  // Reads one folder: its subfolders (when recursing) and the entries the
  // pattern lets through. False when the walk was stopped meanwhile.
  bool ListFolder(const std::wstring& folder, std::vector<Pending>& subfolders);
  // Runs take on each listed entry, checking for a stop before each one;
  // false when the walk was stopped (an unreadable folder lists nothing).
  bool Enumerate(const std::wstring& pattern, const std::function<bool(const WIN32_FIND_DATAW&)>& take);
  // Counts the entries that pass the name test and lists the files among them.
  void FindFiles(const std::wstring& folder);
  // One entry of FindFiles; false when the walk has to end.
  bool TakeEntry(const std::wstring& folder, std::wstring_view name, DWORD attributes);
  void FoundFile(const std::wstring& strPath, std::wstring_view strFilename);
  void FoundFolder(const std::wstring& strPath);
  // Lets the window system run (at most every few tens of milliseconds),
  // then returns the current result flag.
  long ResultFlag();
  void PumpMessages();

  std::wstring m_FileSpec;
  long m_Files = 0;
  bool m_Recurse = false;
  bool m_CaseSensitive = false;
  long m_ResultFlag = DirExSuccess;
  DWORD lastYield_ = 0;
  // The current folder's entries when it is read only once.
  std::vector<Entry> entries_;
  std::wstring names_;
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
