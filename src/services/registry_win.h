// The program's one registry store: the keys it keeps its settings, the
// approvals and the Run values under, an owner for an open key, and the
// reads and writes of text and number values, all through the
// wide-character API. The settings' own calls (SaveString, GetString) open
// the key, do one read or write and close it.
#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "base/handles_win.h"

namespace services {

// Under HKEY_CURRENT_USER: the program's settings,
extern const wchar_t kSettingsKey[];
// the approvals (one value per list, see unattended/approval_store_win.h)
extern const wchar_t kApprovalsKey[];
// and what Windows starts at sign-in.
extern const wchar_t kRunKey[];

// The key at `path` below `root`, opened (or made, with its parents) with
// the access asked for; empty when that cannot be done.
// `missing`, when given, tells a key that is not there from one that cannot
// be opened.
base::win::unique_hkey OpenKey(HKEY root, const std::wstring& path, REGSAM access, bool* missing = nullptr);
base::win::unique_hkey CreateKey(HKEY root, const std::wstring& path, REGSAM access);

// A value as stored: its type and bytes.
struct RawValue {
  DWORD type = REG_NONE;
  std::string bytes;
};
std::optional<RawValue> ReadRaw(HKEY key, const std::wstring& name);
// A REG_SZ value's bytes as text, up to the first NUL.
std::wstring TextOfBytes(const std::string& bytes);
// A REG_SZ value's text up to its first NUL; nothing when the value is
// missing or of another type.
std::optional<std::wstring> ReadText(HKEY key, const std::wstring& name);
// A REG_DWORD value.
std::optional<DWORD> ReadNumber(HKEY key, const std::wstring& name);
// Writes REG_SZ (with its terminating NUL) or REG_DWORD; false on failure.
bool WriteText(HKEY key, const std::wstring& name, const std::wstring& text);
bool WriteNumber(HKEY key, const std::wstring& name, DWORD number);
bool DeleteValue(HKEY key, const std::wstring& name);
bool HasValue(HKEY key, const std::wstring& name);
// The names of the key's values, in the registry's order.
std::vector<std::wstring> ValueNames(HKEY key);
// The names of the key's subkeys; none when they cannot all be listed.
std::optional<std::vector<std::wstring>> SubkeyNames(HKEY key);

// Writes a settings text (REG_SZ with its terminating NUL), creating
// missing keys. False when it was not written; the callers keep remembered
// choices, and one not remembered is no reason to stop what the user is
// doing, so none of them tells.
bool SaveString(HKEY root, const std::wstring& keyPath, const std::wstring& valueName, const std::wstring& text);
// Reads a settings value; a missing key or value gives the empty text.
std::wstring GetString(HKEY root, const std::wstring& keyPath, const std::wstring& valueName);
// The same for a value of the program's settings key: callers name the
// value, the store keeps the key.
bool SaveSetting(const std::wstring& valueName, const std::wstring& text);
std::wstring GetSetting(const std::wstring& valueName);
// REG_SZ as text (whole, with or without a terminating NUL), REG_BINARY of
// one or two bytes as a signed 16-bit number, anything else as "".
std::wstring RegQueryStringValue(HKEY key, const std::wstring& valueName);

}  // namespace services
