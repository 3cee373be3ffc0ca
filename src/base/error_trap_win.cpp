// Win32 side of the error trap: error texts and the report message box.
#include "base/error_trap_win.h"

#include "base/handles_win.h"

namespace base::trap {

std::wstring SystemMessage(DWORD code) {
  wchar_t* buffer = nullptr;
  DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  const win::unique_hlocal owned(buffer);
  std::wstring text = n && buffer ? std::wstring(buffer, n) : std::wstring();
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ' || text.back() == L'.'))
    text.pop_back();
  if (text.empty()) text = L"System error " + std::to_wstring(code);
  return text;
}

void RaiseWin32(DWORD code) { Raise(static_cast<long>(code), SystemMessage(code)); }

std::wstring HresultMessage(HRESULT hr) {
  wchar_t hex[16];
  wsprintfW(hex, L"0x%08lX", static_cast<unsigned long>(hr));
  return SystemMessage(static_cast<DWORD>(hr)) + L" (" + hex + L")";
}

void RaiseHresult(HRESULT hr) {
  DWORD code = HRESULT_FACILITY(hr) == FACILITY_WIN32 ? HRESULT_CODE(hr) : static_cast<DWORD>(hr);
  Raise(static_cast<long>(code), HresultMessage(hr));
}

void InstallMessageBoxPresenter() {
  SetPresenter([](const std::wstring& text, const std::wstring& title) {
    int r =
        MessageBoxW(GetActiveWindow(), text.c_str(), title.c_str(), MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON1);
    return r == IDNO ? Answer::No : r == IDCANCEL ? Answer::Cancel : Answer::Yes;
  });
}

}  // namespace base::trap
