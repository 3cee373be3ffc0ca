// What a folder search found, handed back as a value to whoever asked for
// it: the files and the folders in walk order (the start folder's own path
// first among the folders), the count of entries that fit the pattern, and
// how the search ended.
#pragma once
#include <algorithm>
#include <string>
#include <vector>

#include "search/file_spec.h"

namespace search {

struct SearchResult {
  std::vector<std::wstring> files;    // full paths
  std::vector<std::wstring> folders;  // each with its closing "\"
  long fileCount = 0;                 // entries that fit the pattern, folders too
  long result = DirExFailed;          // DirExSuccess, NoFilesFound, UserCanceled, ...
};

// Takes out of both lists every result inside the given folders (each with
// its closing "\", spelled as the search found it), the folders included.
void LeaveOutFolders(SearchResult& found, const std::vector<std::wstring>& folders);

// The same for a list of anything made of the results, `pathOf` giving the
// path each item was made of.
template <class Item, class PathOf>
void LeaveOutFolders(std::vector<Item>& items, const std::vector<std::wstring>& folders, PathOf&& pathOf) {
  if (folders.empty()) return;
  auto inside = [&](const Item& item) {
    const std::wstring& path = pathOf(item);
    return std::any_of(folders.begin(), folders.end(), [&](const std::wstring& folder) {
      return !folder.empty() && path.compare(0, folder.size(), folder) == 0;
    });
  };
  items.erase(std::remove_if(items.begin(), items.end(), inside), items.end());
}

}  // namespace search
