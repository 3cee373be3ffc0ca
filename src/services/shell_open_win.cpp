// The shell's "Open" verb under the error trap.
#include "services/shell_open_win.h"

#include <shellapi.h>

#include "base/error_trap_win.h"

namespace services {

void OpenInternet(HWND owner, const std::wstring& document, int showCmd) {
  base::trap::Guard([&] { ST(ShellExecuteW(owner, L"Open", document.c_str(), nullptr, nullptr, showCmd)); });
}

}  // namespace services
