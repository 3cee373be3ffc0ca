// The registry settings store: named text values under a key of the current
// user. Every call opens the key, does one read or write and closes it.
#pragma once
#include <windows.h>

#include <string>

namespace services {

// Writes a REG_SZ value (with its terminating NUL), creating missing keys.
// False when it was not written; the callers keep remembered choices, and
// one not remembered is no reason to stop what the user is doing, so none
// of them tells.
bool SaveString(HKEY root, const std::wstring& keyPath, const std::wstring& valueName, const std::wstring& text);
// Reads a value; a missing key or value gives the empty text.
std::wstring GetString(HKEY root, const std::wstring& keyPath, const std::wstring& valueName);
// REG_SZ as text (whole, with or without a terminating NUL), REG_BINARY of
// one or two bytes as a signed 16-bit number, anything else as "".
std::wstring RegQueryStringValue(HKEY key, const std::wstring& valueName);

}  // namespace services
