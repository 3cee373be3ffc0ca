// What the add command says and writes: its questions, the entry texts it
// builds from the chosen folder or files, and its status texts.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace app {

extern const wchar_t kClearTitle[];
extern const wchar_t kClearQuestion[];
extern const wchar_t kDirectoryTitle[];
extern const wchar_t kBrowseTitle[];

// The first "Directory" question: remove the subfolders that end up empty?
std::wstring SubfolderQuestion(const std::wstring& folderText);
// The second one: remove the chosen folder itself once it is empty?
std::wstring FolderQuestion(const std::wstring& folderText);

// The chosen folder followed by "\*.*" (a drive root keeps its one "\").
std::wstring SearchPatternFor(const std::wstring& chosenFolder);
// The folder's own entry: the folder text with its closing "\".
std::wstring FolderEntryText(const std::wstring& folderText);
// The full paths of the files an open dialog returned: names at positions
// 1..count of `names`, all in `folder`, in the dialog's order.
std::vector<std::wstring> ChosenPaths(const std::wstring& folder, const std::vector<std::wstring>& names, int count);

// Status texts while a folder is searched, and after the user stopped the
// search: how many entries the stopped command had added by then (the
// folder's own entry, files dropped with it) and how many the list holds.
std::wstring SearchingText(const std::wstring& folder);
extern const wchar_t kSearchStoppedText[];
std::wstring SearchStoppedText(size_t added, size_t count);
bool IsSearchStoppedText(const std::wstring& status);

}  // namespace app
