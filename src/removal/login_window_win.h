// the password prompt of a removal run: control identifiers (the
// test driver uses them).
#pragma once
#include <windows.h>

#include <string>

namespace removal {

enum LoginControlId : int {
  kOkButton = IDOK,
  kCancelButton = IDCANCEL,
  kPasswordPromptLabel = 301,
  kPasswordEdit = 302,
  kRemovalProgress = 303,
  kRecycleBinBox = 304,
  kPreviewButton = 305,
};

// Opens the prompt of a removal run with the program's icon; arguments is
// the command line text. The run ends the program.
void ShowLoginWindow(HICON icon, const std::wstring& arguments);

}  // namespace removal
