// Leaving folders out of a search's result.
#include "search/search_result.h"

namespace search {

void LeaveOutFolders(SearchResult& found, const std::vector<std::wstring>& folders) {
  auto path = [](const std::wstring& p) -> const std::wstring& { return p; };
  LeaveOutFolders(found.files, folders, path);
  LeaveOutFolders(found.folders, folders, path);
}

}  // namespace search
