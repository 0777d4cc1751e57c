// Files the install replaces: whether a copy would land on its own source,
// and the copy kept of a file of the user's before it is replaced.
#pragma once

#include "afx.h"

// Whether both paths name the one file (the setup started from the folder it
// installs into, say): the same volume and file index, whatever the spelling
// of the paths. False when either cannot be opened.
bool SameFile(const char* first, const char* second);

// Before source replaces destination: destination copied to backup, when it
// is there and differs from source. once: a backup already there is kept,
// so that the first file replaced survives every later install. The error
// that left the copy unmade (the file must then stay as it is), else
// ERROR_SUCCESS.
DWORD KeepCopyOf(const char* destination, const char* source, const char* backup, bool once);
