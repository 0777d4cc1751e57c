// Registry keys as the scan and the registration use them: a handle that
// closes itself, and the walk over a key's subkeys.
#pragma once

#include "afx.h"

constexpr int kKeyNameBufferSize = 256;

class ScopedRegKey {
 public:
  ScopedRegKey() = default;
  ~ScopedRegKey() { Close(); }
  ScopedRegKey(const ScopedRegKey&) = delete;
  ScopedRegKey& operator=(const ScopedRegKey&) = delete;

  // The out-variable for an open or create call, preset to null: success is
  // judged by the handle it leaves there.
  HKEY* Out() {
    Close();
    return &m_key;
  }
  HKEY Get() const { return m_key; }
  explicit operator bool() const { return m_key != nullptr; }
  void Close() {
    if (m_key != nullptr) RegCloseKey(m_key);
    m_key = nullptr;
  }

 private:
  HKEY m_key = nullptr;
};

// Calls visit(name) for each subkey of key, in enumeration order, with the
// count asked once and each name read into a 256-byte buffer. An index whose
// name cannot be read is skipped: the empty name would name key itself.
template <typename Visit>
void ForEachSubkey(HKEY key, Visit visit) {
  DWORD count = 0;
  RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                   nullptr);
  for (DWORD index = 0; index < count; ++index) {
    char name[kKeyNameBufferSize] = "";
    DWORD size = kKeyNameBufferSize;
    RegEnumKeyExA(key, index, name, &size, nullptr, nullptr, nullptr, nullptr);
    if (name[0] != '\0') visit(static_cast<const char*>(name));
  }
}
