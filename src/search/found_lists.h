// The found lists: the program-wide results of the last folder search.
// Element 0 of each is always the empty text; results start at position 1,
// so a list whose upper bound is 0 holds nothing.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace search {

// Full paths of the files found. The add command moves the results into
// its entries rather than copying them, and then resets both lists.
extern std::vector<std::wstring> FileList;
// Paths of the folders visited, each with its closing "\".
extern std::vector<std::wstring> FolderList;

// Sets both lists to the empty state: one empty element at position 0.
void ResetFoundLists();

// Takes out of both lists every result inside the given folders (each with
// its closing "\", spelled as the search found it), the folders included.
void LeaveOutFolders(const std::vector<std::wstring>& folders);

// The highest position in use; 0 when the list holds no result.
inline size_t UpperBound(const std::vector<std::wstring>& list) { return list.empty() ? 0 : list.size() - 1; }

}  // namespace search
