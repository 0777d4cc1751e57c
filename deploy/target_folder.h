// The target folder of an install: made a full path, checked against what it
// will hold, and made with every missing level.
#pragma once

#include "afx.h"

enum class TargetProblem {
  None,
  Unresolved,  // Windows makes no full path of it (a name it refuses)
  TooLong,     // the folder, or a file the install puts into it, is past 259 characters
};

// Makes folder the full path Windows resolves it to for this process ("\x"
// on the current folder's drive, "x" below the current folder, "/" as "\"),
// and checks that the folder followed by a backslash and the longest file
// name it will hold fits the 260-byte path buffer. Nothing is written.
TargetProblem ResolveTargetFolder(CString& folder, int longestName);

// Creates a full path with every missing level, below a drive's root or a
// share ("\\server\share\"); false when it is no folder afterwards.
bool CreateTargetFolder(const CString& folder);
