// The bare walk the benchmarks measure the program against: every file's
// full path and every folder of a tree, listed with FindFirstFileExW and
// nothing else, on one thread or with the top folders split over two; and
// the removal of a tree a benchmark made.
#pragma once
#include <windows.h>

#include <atomic>
#include <cwchar>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace bench {

// (a) The baseline: every file's full path and every folder, nothing else.
inline std::wstring Join(const std::wstring& folder, const wchar_t* name) {
  size_t length = wcslen(name);
  std::wstring path;
  path.reserve(folder.size() + 1 + length);
  path.append(folder).append(1, L'\\').append(name, length);
  return path;
}

inline void MinimalWalk(const std::wstring& folder, std::vector<std::wstring>& files, size_t& folders) {
  ++folders;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileExW(Join(folder, L"*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                 FIND_FIRST_EX_LARGE_FETCH);
  if (find == INVALID_HANDLE_VALUE) return;
  std::vector<std::wstring> subfolders;
  do {
    const wchar_t* n = data.cFileName;
    if (n[0] == L'.' && (n[1] == 0 || (n[1] == L'.' && n[2] == 0))) continue;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      subfolders.push_back(Join(folder, n));
    } else {
      files.push_back(Join(folder, n));
    }
  } while (FindNextFileW(find, &data));
  FindClose(find);
  for (const std::wstring& sub : subfolders) MinimalWalk(sub, files, folders);
}

// (a2) The walker on 2 threads: the start folder's files and subfolders are
// listed here, then two threads take the subfolders' branches one by one;
// the results are joined in walk order.
inline void TwoThreadWalk(const std::wstring& root, std::vector<std::wstring>& files, size_t& folders) {
  std::vector<std::wstring> top;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileExW(Join(root, L"*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                 FIND_FIRST_EX_LARGE_FETCH);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const wchar_t* n = data.cFileName;
    if (n[0] == L'.' && (n[1] == 0 || (n[1] == L'.' && n[2] == 0))) continue;
    (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? top : files).push_back(Join(root, n));
  } while (FindNextFileW(find, &data));
  FindClose(find);
  std::vector<std::vector<std::wstring>> branchFiles(top.size());
  std::vector<size_t> branchFolders(top.size());
  std::atomic<size_t> next{0};
  auto work = [&] {
    for (size_t i; (i = next++) < top.size();) MinimalWalk(top[i], branchFiles[i], branchFolders[i]);
  };
  std::thread other(work);
  work();
  other.join();
  folders = 1;
  for (size_t i = 0; i < top.size(); ++i) {
    folders += branchFolders[i];
    files.insert(files.end(), std::make_move_iterator(branchFiles[i].begin()),
                 std::make_move_iterator(branchFiles[i].end()));
  }
}

// Removes a tree a benchmark made: its files, then its folders.
inline void RemoveTree(const std::wstring& folder) {
  std::vector<std::wstring> files;
  size_t folders = 0;
  MinimalWalk(folder, files, folders);
  for (const std::wstring& f : files) DeleteFileW(f.c_str());
  // Deepest first: a folder's path is longer than its parent's.
  std::vector<std::wstring> dirs;
  std::vector<std::wstring> pending{folder};
  while (!pending.empty()) {
    const std::wstring d = pending.back();
    pending.pop_back();
    dirs.push_back(d);
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((d + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) continue;
    do {
      if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && std::wcscmp(data.cFileName, L".") != 0 &&
          std::wcscmp(data.cFileName, L"..") != 0)
        pending.push_back(d + L"\\" + data.cFileName);
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  for (auto it = dirs.rbegin(); it != dirs.rend(); ++it) RemoveDirectoryW(it->c_str());
}

}  // namespace bench
