// The found lists, shared by the folder search and the add command.
#include "search/found_lists.h"

#include <algorithm>

namespace search {

std::vector<std::wstring> FileList(1);
std::vector<std::wstring> FolderList(1);

void ResetFoundLists() {
  FileList.assign(1, std::wstring());
  FolderList.assign(1, std::wstring());
}

namespace {

void LeaveOutFrom(std::vector<std::wstring>& list, const std::vector<std::wstring>& folders) {
  auto inside = [&](const std::wstring& path) {
    return std::any_of(folders.begin(), folders.end(),
                       [&](const std::wstring& folder) { return !folder.empty() && path.compare(0, folder.size(), folder) == 0; });
  };
  if (list.size() > 1) list.erase(std::remove_if(list.begin() + 1, list.end(), inside), list.end());
}

}  // namespace

void LeaveOutFolders(const std::vector<std::wstring>& folders) {
  if (folders.empty()) return;
  LeaveOutFrom(FileList, folders);
  LeaveOutFrom(FolderList, folders);
}

}  // namespace search
