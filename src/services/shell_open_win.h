// Opening a document or web address with the shell's "Open" verb.
#pragma once
#include <windows.h>

#include <string>

namespace services {

// Hands the document to the shell's "Open" verb with the given show-window
// number. Guarded by the error trap; the shell's answer is not examined.
void OpenInternet(HWND owner, const std::wstring& document, int showCmd);

}  // namespace services
