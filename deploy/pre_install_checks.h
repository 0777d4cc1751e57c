// The small services the install relies on before it touches any file:
// whether AutoCAD runs, where the payload lies, and file utilities.
#pragma once

#include "afx.h"

enum PathKind {
  PathMissing = 0,
  PathFile = 1,
  PathFolder = 2,
};

// True when a running process's file name contains "acad.exe" (any case);
// false otherwise and when the process list cannot be read.
bool IsAcadRunning();

// The payload folder: "Data" beside the program, or the program's own folder
// when the marker file "TR_RedavIzor2010.arx" lies beside it. On false the
// user has been told to unpack the download first.
bool FindDataFolder(CString& folder);
// The same, without a word when it is not found.
bool LocateDataFolder(CString& folder);

// What lies at path: nothing, a file or a folder. Any failure is nothing.
PathKind GetPathKind(const char* path);

// Drops the read-only bit of a file and keeps every other bit; true when
// the bit was set and is now cleared.
bool ClearReadOnly(const char* path);

// Calls visit(entry, name) for each entry a pattern (a path with wildcards)
// lists, in the file system's order: ERROR_SUCCESS when the listing ended
// whole, ERROR_FILE_NOT_FOUND when nothing matched, else the error that
// cut it short.
template <typename Visit>
DWORD ForEachListed(const char* pattern, Visit visit) {
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA(pattern, &entry);
  if (search == INVALID_HANDLE_VALUE) return GetLastError();
  do {
    visit(entry, CString(entry.cFileName, static_cast<int>(sizeof entry.cFileName)));
  } while (FindNextFileA(search, &entry));
  const DWORD error = GetLastError();
  FindClose(search);
  return error == ERROR_NO_MORE_FILES ? ERROR_SUCCESS : error;
}
