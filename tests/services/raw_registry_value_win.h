// Test helper: stores raw bytes under a type in a value of the current
// user's hive, as another program might.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/handles_win.h"

namespace services {

inline void PutRawValue(const wchar_t* keyName, const char* name, DWORD type, const std::string& bytes) {
  base::win::unique_hkey key;
  ASSERT_EQ(RegCreateKeyW(HKEY_CURRENT_USER, keyName, key.put()), ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(key.get(), name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                           static_cast<DWORD>(bytes.size())),
            ERROR_SUCCESS);
}

}  // namespace services
