// The small services the install relies on before it touches any file:
// whether AutoCAD runs, where the payload lies, and two file utilities.
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
