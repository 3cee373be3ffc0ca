// Leaving folders out of a search's result.
#include "search/search_result.h"

#include <algorithm>

namespace search {
namespace {

void LeaveOutFrom(std::vector<std::wstring>& list, const std::vector<std::wstring>& folders) {
  auto inside = [&](const std::wstring& path) {
    return std::any_of(folders.begin(), folders.end(), [&](const std::wstring& folder) {
      return !folder.empty() && path.compare(0, folder.size(), folder) == 0;
    });
  };
  list.erase(std::remove_if(list.begin(), list.end(), inside), list.end());
}

}  // namespace

void LeaveOutFolders(SearchResult& found, const std::vector<std::wstring>& folders) {
  if (folders.empty()) return;
  LeaveOutFrom(found.files, folders);
  LeaveOutFrom(found.folders, folders);
}

}  // namespace search
