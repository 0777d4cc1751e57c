// The target folder of an install: made a full path, with every missing level.
#pragma once

#include "afx.h"

// Makes folder the full path Windows resolves it to for this process ("\x"
// on the current folder's drive, "x" below the current folder, "/" as "\")
// and creates it with every missing level, below a drive's root or a share
// ("\\server\share\"). False when it cannot be resolved within the 260-byte
// path buffer, or is no folder afterwards.
bool MakeTargetFolder(CString& folder);
