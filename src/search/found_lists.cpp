// The found lists, shared by the folder search and the add command.
#include "search/found_lists.h"

namespace search {

std::vector<std::wstring> FileList(1);
std::vector<std::wstring> FolderList(1);

void ResetFoundLists() {
  FileList.assign(1, std::wstring());
  FolderList.assign(1, std::wstring());
}

}  // namespace search
