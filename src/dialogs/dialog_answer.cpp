// Reading the answer a file dialog leaves in its file buffer.
#include "dialogs/dialog_answer.h"

#include <utility>

#include "base/paths.h"

namespace dialogs {
namespace {

bool IsBlank(const std::wstring& text) { return text.find_first_not_of(L' ') == std::wstring::npos; }

// Several names come back as: folder NUL name NUL ... name NUL NUL, with the
// offset pointing at the first name.  The title buffer is left blank then.
bool IsMultipleSelection(const std::wstring& buffer, std::size_t fileOffset, const std::wstring& fileTitle) {
  return IsBlank(FirstText(fileTitle)) && fileOffset > 0 && fileOffset < buffer.size() &&
         buffer[fileOffset - 1] == L'\0';
}

FileDialogResult ReadSingle(const std::wstring& buffer, std::size_t fileOffset) {
  const std::wstring path = FirstText(buffer);
  if (fileOffset >= path.size()) return {};
  FileDialogResult r;
  r.folder = path.substr(0, fileOffset);
  r.names = {std::wstring(), path.substr(fileOffset)};
  r.count = 1;
  r.cancelled = false;
  return r;
}

FileDialogResult ReadMultiple(const std::wstring& buffer, std::size_t fileOffset) {
  FileDialogResult r;
  r.names.emplace_back();
  std::size_t pos = fileOffset;
  while (pos < buffer.size() && buffer[pos] != L'\0') {
    std::size_t end = buffer.find(L'\0', pos);
    if (end == std::wstring::npos) end = buffer.size();
    r.names.push_back(buffer.substr(pos, end - pos));
    pos = end + 1;
  }
  if (r.names.size() < 2) return {};
  r.folder = buffer.substr(0, fileOffset - 1);
  r.count = static_cast<int>(r.names.size() - 1);
  r.cancelled = false;
  return r;
}

}  // namespace

std::wstring FirstText(const std::wstring& buffer) { return buffer.substr(0, buffer.find(L'\0')); }

std::wstring FileBuffer(const std::wstring& initialName, std::size_t size) {
  std::wstring buffer(size, L'\0');
  if (initialName.size() < size) buffer.replace(0, initialName.size(), initialName);
  return buffer;
}

std::wstring PackedAnswer(const std::wstring& buffer) {
  const std::size_t pair = buffer.find(std::wstring(2, L'\0'));
  if (pair != std::wstring::npos) return buffer.substr(0, pair);
  return FirstText(buffer);
}

FileDialogResult ReadAnswer(const std::wstring& buffer, std::size_t fileOffset, const std::wstring& fileTitle) {
  if (IsMultipleSelection(buffer, fileOffset, fileTitle)) return ReadMultiple(buffer, fileOffset);
  return ReadSingle(buffer, fileOffset);
}

FileDialogResult ReadSaveAnswer(const std::wstring& buffer, std::size_t fileOffset, const std::wstring& fileTitle) {
  FileDialogResult r = ReadAnswer(buffer, fileOffset, fileTitle);
  if (r.count > 1) {
    r.names.resize(2);
    r.count = 1;
    r.folder = base::paths::WithSeparator(std::move(r.folder));
  }
  return r;
}

}  // namespace dialogs
