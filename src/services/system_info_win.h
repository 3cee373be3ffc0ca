// The system information tool: where the registry says it is, and starting
// it; and the registry value reader that finds it.
#pragma once
#include <windows.h>

#include <string>

namespace services {

// Reads a text (REG_SZ) or number (REG_DWORD, as decimal) value with read
// access only. False, and KeyVal empty, when the key or value cannot be read.
bool GetKeyValue(HKEY KeyRoot, const std::wstring& KeyName, const std::wstring& SubKeyRef, std::wstring& KeyVal);
// The tool's path from the registry: its own PATH value, else MSINFO32.EXE
// in the shared tools folder when that file is there; empty when neither.
std::wstring SystemInfoPath();
// Starts a program in a normal window that gets the focus.
bool StartProgram(const std::wstring& path);

}  // namespace services
