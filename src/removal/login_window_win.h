// frmLogin, the password prompt of a removal run: control identifiers (the
// test driver uses them).
#pragma once
#include <windows.h>

namespace removal {

enum LoginControlId : int {
  kCmdOK = IDOK,
  kCmdCancel = IDCANCEL,
  kLblLabels = 301,
  kTxtPassword = 302,
  kPbRemoval = 303,
  kChkRecycleBin = 304,
};

}  // namespace removal
