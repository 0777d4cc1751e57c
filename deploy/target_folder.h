// The target folder of an install: made with every missing level.
#pragma once

#include "afx.h"

// Creates folder and every missing level above it, from the top: the levels
// below a drive root ("D:\", or "\" of the current drive), below a share
// ("\\server\share\"), or of a relative path; "/" separates as "\" does. What
// each level's creation answers is not examined; whether folder exists
// afterwards tells. A double-byte character whose trail byte is a backslash
// never ends a level.
void CreateFolderLevels(const CString& folder);
