// Which listed paths a removal run may hand to the file system at all. A
// delete list is a plain text file that anyone can edit; a record that is
// not a full path to a file or folder (a relative path, a device, a name
// with characters no file can have) is reported instead of tried, so that
// nothing outside what the list names is ever touched.
#pragma once
#include <string>

namespace removal {

// The longest path the wide file functions take.
constexpr size_t kLongestPath = 32767;

// Why the path is not tried, or the empty text when it may be.
std::wstring PathRefusal(const std::wstring& path);

}  // namespace removal
