// the password prompt of a removal run: control identifiers (the
// test driver uses them).
#pragma once
#include <windows.h>

#include <string>

namespace removal {

enum LoginControlId : int {
  kCmdOK = IDOK,
  kCmdCancel = IDCANCEL,
  kLblLabels = 301,
  kTxtPassword = 302,
  kRemovalProgress = 303,
  kChkRecycleBin = 304,
  kCmdPreview = 305,
};

// Opens the prompt of a removal run with the program's icon; arguments is
// the command line text. The run ends the program.
void ShowLoginWindow(HICON icon, const std::wstring& arguments);

}  // namespace removal
