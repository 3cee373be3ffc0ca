// What a folder search found, handed back as a value to whoever asked for
// it: the files and the folders in walk order (the start folder's own path
// first among the folders), the count of entries that fit the pattern, and
// how the search ended.
#pragma once
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

}  // namespace search
