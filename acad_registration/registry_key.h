// A registry handle that closes itself: every key this folder opens is
// closed again, also when a list accessor's error passes through.
#pragma once

#include "afx.h"

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
