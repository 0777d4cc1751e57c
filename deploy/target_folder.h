// The target folder of an install: made a full path, with every missing level.
#pragma once

#include "afx.h"

// Creates folder and every missing level above it, from the top: the levels
// below a drive root ("D:\", or "\" of the current drive), below a share
// ("\\server\share\"), or of a relative path; "/" separates as "\" does. What
// each level's creation answers is not examined; whether folder exists
// afterwards tells. A double-byte character whose trail byte is a backslash
// never ends a level.
void CreateFolderLevels(const CString& folder);

// Makes folder the full path Windows resolves it to for this process ("\x"
// on the current folder's drive, "x" below the current folder, "/" as "\")
// and creates it with every missing level. False when it cannot be resolved
// within the 260-byte path buffer, or is no folder afterwards.
bool MakeTargetFolder(CString& folder);
