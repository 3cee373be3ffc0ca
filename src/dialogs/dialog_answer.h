// Reading the answer a file dialog leaves in its file buffer: one full path,
// or a folder followed by the chosen names, all separated by NULs.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace dialogs {

// What a dialog wrapper hands back.  names[0] is unused; the names, without
// their folder, are at 1..count in the dialog's order.  The folder ends
// with "\" after one file and, as the dialog writes it, usually does not
// after several.  On cancel (or any failure) `cancelled` is true, the count
// 0, the folder empty and names empty.
struct FileDialogResult {
  int count = 0;
  std::vector<std::wstring> names;
  std::wstring folder;
  bool cancelled = true;
};

// The text up to the first NUL: the name a dialog shows as its initial file
// name, or the name-only answer in the title buffer.
std::wstring FirstText(const std::wstring& buffer);

// A file buffer of `size` characters that starts with `initialName`; the rest
// is NULs.  An initial name that would not leave room is dropped.
std::wstring FileBuffer(const std::wstring& initialName, std::size_t size);

// The answer packed in a file buffer without its padding: everything before
// the first pair of NULs (or before the first NUL when the buffer ends there).
std::wstring PackedAnswer(const std::wstring& buffer);

// The result of an accepted open or save dialog.  `fileOffset` is the number
// of characters before the (first) name; `fileTitle` is what the dialog left
// in its title buffer, which stays blank after a multiple selection.  An
// answer that names no file reads as cancelled.
FileDialogResult ReadAnswer(const std::wstring& buffer, std::size_t fileOffset, const std::wstring& fileTitle);

// The result of an accepted save dialog: one name, and a folder that ends
// with "\".  A dialog that still allows several names may pack them like an
// open dialog; the first one is the file to save.
FileDialogResult ReadSaveAnswer(const std::wstring& buffer, std::size_t fileOffset, const std::wstring& fileTitle);

}  // namespace dialogs
