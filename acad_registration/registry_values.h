// Writing the registration's two kinds of value: a REG_DWORD as 4 bytes
// little-endian, a REG_SZ (or REG_EXPAND_SZ) with its terminating zero byte
// counted.
#pragma once

#include <cstring>

#include "afx.h"

inline LSTATUS SetDwordValue(HKEY key, const char* name, DWORD value) {
  const BYTE data[4] = {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8), static_cast<BYTE>(value >> 16),
                        static_cast<BYTE>(value >> 24)};
  return RegSetValueExA(key, name, 0, REG_DWORD, data, sizeof data);
}

inline LSTATUS SetStringValue(HKEY key, const char* name, const char* text, DWORD type = REG_SZ) {
  return RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(text),
                        static_cast<DWORD>(strlen(text) + 1));
}
