// Texts of the add command (portable).
#include "app/add_texts.h"

#include "app/delete_list.h"
#include "base/paths.h"
#include "base/texts.h"

namespace app {

const wchar_t kClearTitle[] = L"Clear";
const wchar_t kClearQuestion[] = L"Do you wish to clear the list before adding new data?";
const wchar_t kDirectoryTitle[] = L"Directory";
const wchar_t kBrowseTitle[] = L"Please select a source directory";
const wchar_t kSearchStoppedText[] = L"Search stopped: nothing was added.";
const wchar_t kSearchStoppedStart[] = L"Search stopped:";

std::wstring SubfolderQuestion(const std::wstring& folderText) {
  return L"Do you wish to remove folders within " + FolderEntryText(folderText) +
         L" have no files in them after file deletetion?";
}

std::wstring FolderQuestion(const std::wstring& folderText) {
  return L"Do you wish to remove the " + FolderEntryText(folderText) + L" folder if it has no files left in it?";
}

std::wstring SearchPatternFor(const std::wstring& chosenFolder) { return base::paths::JoinPath(chosenFolder, L"*.*"); }

std::wstring FolderEntryText(const std::wstring& folderText) { return base::paths::WithSeparator(folderText); }

std::vector<std::wstring> ChosenPaths(const std::wstring& folder, const std::vector<std::wstring>& names, int count) {
  std::vector<std::wstring> paths;
  for (int i = 1; i <= count && static_cast<size_t>(i) < names.size(); ++i) {
    if (!names[static_cast<size_t>(i)].empty())
      paths.push_back(base::paths::JoinPath(folder, names[static_cast<size_t>(i)]));
  }
  return paths;
}

std::wstring SearchingText(const std::wstring& folder) { return L"Searching " + folder + L"... (Esc stops)"; }

std::wstring SearchStoppedText(size_t added, size_t count) {
  if (added == 0) return kSearchStoppedText;
  return std::wstring(kSearchStoppedStart) + L" " +
         base::text::Counted(added, L"item was added;", L"items were added;") + L" " + ItemsLoadedText(count);
}

bool IsSearchStoppedText(const std::wstring& status) { return status.rfind(kSearchStoppedStart, 0) == 0; }

}  // namespace app
