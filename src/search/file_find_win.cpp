// The folder walk on the platform's directory enumeration. Pending folders
// sit on an explicit stack instead of the call stack, so depth is no limit;
// each folder is read once when the pattern lets every name through.
#include "search/file_find_win.h"

#include <cwchar>

#include "base/handles_win.h"
#include "base/long_path.h"
#include "search/found_lists.h"
#include "search/name_pattern.h"
#include "services/error_trap.h"

namespace search {
namespace {

// How long the walk may run before the window system gets its turn.
constexpr DWORD kYieldMs = 30;
#ifndef FIND_FIRST_EX_LARGE_FETCH
#define FIND_FIRST_EX_LARGE_FETCH 2
#endif

bool IsDots(const wchar_t* name) {
  return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

std::wstring WithSeparator(std::wstring path) {
  if (path.empty() || path.back() != L'\\') path += L'\\';
  return path;
}

HANDLE OpenListing(const std::wstring& pattern, WIN32_FIND_DATAW& data) {
  return FindFirstFileExW(paths::LongPath(pattern).c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                          FIND_FIRST_EX_LARGE_FETCH);
}

// Junctions, directory links and mount points lead somewhere else; other
// reparse points (cloud placeholders, for one) hold the folder's own files.
bool IsFolderLink(const WIN32_FIND_DATAW& data) {
  if (!(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
  return data.dwReserved0 == 0 || IsReparseTagNameSurrogate(data.dwReserved0);
}

}  // namespace

std::wstring Win32PathProbe::FullPathName(const std::wstring& path) {
  DWORD need = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (need == 0) return std::wstring();
  std::wstring full(need, L'\0');
  DWORD length = GetFullPathNameW(path.c_str(), need, &full[0], nullptr);
  if (length == 0 || length >= need) return std::wstring();
  full.resize(length);
  return paths::ShortForm(full);
}

uint32_t Win32PathProbe::Attributes(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(paths::LongPath(path).c_str());
  return attributes == INVALID_FILE_ATTRIBUTES ? kNoAttributes : attributes;
}

std::wstring Win32PathProbe::FirstListedName(const std::wstring& path) {
  std::wstring pattern = path.empty() || path.back() != L'\\' ? path : path + L"*.*";
  WIN32_FIND_DATAW data;
  win::unique_hfind find(OpenListing(pattern, data));
  if (!find) return std::wstring();
  do {
    if (!(data.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))) return data.cFileName;
  } while (FindNextFileW(find.get(), &data));
  return std::wstring();
}

void clsFileFind::SearchFile(const std::wstring& Pathname, bool blnSubFolders, bool blnCaseSensitive) {
  try {
    if (Pathname.empty()) {
      m_ResultFlag = PathNameNotValid;
    } else {
      RecursiveSearch(blnSubFolders);
      CaseSensitive(blnCaseSensitive);
      m_Files = 0;
      m_ResultFlag = DirExSuccess;
      lastYield_ = GetTickCount();
      std::wstring start = Pathname;
      Win32PathProbe probe;
      if (FileSpec(probe, start, m_FileSpec, m_ResultFlag)) {
        Walk(start);
        if (m_Files == 0 && m_ResultFlag == DirExSuccess) m_ResultFlag = NoFilesFound;
      }
    }
  } catch (...) {
    m_ResultFlag = DirExFailed;
  }
  if (Finished) Finished(m_Files, m_ResultFlag);
}

void clsFileFind::Walk(const std::wstring& startFolder) {
  std::vector<Pending> stack{{WithSeparator(startFolder), false}};
  std::vector<Pending> subfolders;
  while (!stack.empty()) {
    Pending folder = std::move(stack.back());
    stack.pop_back();
    if (ResultFlag() != DirExSuccess) return;
    if (folder.link) {
      FoundFolder(folder.path);
      continue;
    }
    subfolders.clear();
    if (!ListFolder(folder.path, subfolders)) return;
    if (CurrentFolder) CurrentFolder(Qualify(folder.path));
    FindFiles(folder.path);
    FoundFolder(folder.path);
    for (auto it = subfolders.rbegin(); it != subfolders.rend(); ++it) stack.push_back(std::move(*it));
  }
}

bool clsFileFind::ListFolder(const std::wstring& folder, std::vector<Pending>& subfolders) {
  const bool singleRead = MatchesEverything(m_FileSpec);
  entries_.clear();
  names_.clear();
  if (!m_Recurse && !singleRead) return true;
  // "*" lists exactly what "*.*" lists, and Wine answers it without
  // matching each name.
  return Enumerate(folder + L"*", [&](const WIN32_FIND_DATAW& data) {
    if (IsDots(data.cFileName)) return true;
    if (m_Recurse && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      subfolders.push_back({folder + data.cFileName + L'\\', IsFolderLink(data)});
    if (singleRead) {
      size_t length = wcslen(data.cFileName);
      entries_.push_back({names_.size(), length, data.dwFileAttributes});
      names_.append(data.cFileName, length);
    }
    return true;
  });
}

bool clsFileFind::Enumerate(const std::wstring& pattern, const std::function<bool(const WIN32_FIND_DATAW&)>& take) {
  WIN32_FIND_DATAW data;
  win::unique_hfind find(OpenListing(pattern, data));
  if (!find) return true;  // an unreadable folder lists nothing; that is no stop
  do {
    if (ResultFlag() != DirExSuccess) return false;
    if (!take(data)) return false;
  } while (FindNextFileW(find.get(), &data));
  return true;
}

void clsFileFind::FindFiles(const std::wstring& folder) {
  if (!MatchesEverything(m_FileSpec)) {
    Enumerate(folder + m_FileSpec, [&](const WIN32_FIND_DATAW& data) {
      return IsDots(data.cFileName) || TakeEntry(folder, data.cFileName, data.dwFileAttributes);
    });
    return;
  }
  const std::wstring_view names = names_;
  for (const Entry& entry : entries_) {
    if (ResultFlag() != DirExSuccess) return;
    if (!TakeEntry(folder, names.substr(entry.offset, entry.length), entry.attributes)) return;
  }
}

bool clsFileFind::TakeEntry(const std::wstring& folder, std::wstring_view name, DWORD attributes) {
  if (m_CaseSensitive) {
    PatternFit fit = FitsPattern(name, m_FileSpec);
    if (fit == PatternFit::BadPattern) {
      m_ResultFlag = DirExFailed;
      return false;
    }
    if (fit == PatternFit::DoesNotFit) return true;
  }
  ++m_Files;
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) FoundFile(folder, name);
  return true;
}

void clsFileFind::FoundFile(const std::wstring& strPath, std::wstring_view strFilename) {
  trap::Guard([&] {
    std::wstring path;
    path.reserve(strPath.size() + strFilename.size());
    path.append(strPath).append(strFilename);
    ST(FileList.push_back(std::move(path)));
  });
}

void clsFileFind::FoundFolder(const std::wstring& strPath) {
  trap::Guard([&] { ST(FolderList.push_back(strPath)); });
}

long clsFileFind::ResultFlag() {
  DWORD now = GetTickCount();
  if (now - lastYield_ >= kYieldMs) {
    PumpMessages();
    lastYield_ = GetTickCount();
  }
  return m_ResultFlag;
}

void clsFileFind::PumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    if (MessageFilter && MessageFilter(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace search
