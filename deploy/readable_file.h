// A file opened for reading that every other program may go on using and
// changing, closed with its owner.
#pragma once

#include "afx.h"

class ReadableFile {
 public:
  explicit ReadableFile(const char* path)
      : m_handle(::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  ~ReadableFile() {
    if (*this) ::CloseHandle(m_handle);
  }
  ReadableFile(const ReadableFile&) = delete;
  ReadableFile& operator=(const ReadableFile&) = delete;
  explicit operator bool() const { return m_handle != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return m_handle; }
  // Reads size bytes at offset; false when fewer are there.
  bool ReadAt(DWORD offset, void* data, DWORD size) const {
    DWORD read = 0;
    return ::SetFilePointer(m_handle, static_cast<LONG>(offset), nullptr, FILE_BEGIN) == offset &&
           ::ReadFile(m_handle, data, size, &read, nullptr) && read == size;
  }

 private:
  HANDLE m_handle;
};
