// ANSI code page on Windows: the platform's own tables, never best-fit.
#include <windows.h>

#include "base/encoding.h"

namespace base::enc {

bool ToAnsi(const std::wstring& text, std::string& out) {
  out.clear();
  if (text.empty()) return true;
  BOOL usedDefault = FALSE;
  int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()), nullptr, 0,
                              nullptr, &usedDefault);
  if (n <= 0) return false;
  out.resize(static_cast<size_t>(n));
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr,
                      &usedDefault);
  return !usedDefault;
}

std::wstring FromAnsi(const std::string& bytes) {
  if (bytes.empty()) return {};
  int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  if (n <= 0) return {};
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), &out[0], n);
  return out;
}

}  // namespace base::enc
