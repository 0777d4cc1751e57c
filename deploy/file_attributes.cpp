// GetPathKind and ClearReadOnly: what lies at a path, and the read-only bit
// of a file.
#include "pre_install_checks.h"

PathKind GetPathKind(const char* path) {
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA(path, &entry);
  if (search == INVALID_HANDLE_VALUE) return PathMissing;
  FindClose(search);
  return (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? PathFolder : PathFile;
}

bool ClearReadOnly(const char* path) {
  DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY)) return false;
  return SetFileAttributesA(path, attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY)) != FALSE;
}
