// The command line the setup gives the copy of itself it starts elevated:
// what the user chose, so that the copy opens as this one was left.
#pragma once

#include "acad_release.h"
#include "afx.h"

// The parameters for the elevated copy: the ticked releases (2007 first) and
// the chosen folder, a full path without a trailing backslash.
CString FormatRestartParameters(const bool (&ticked)[kReleaseCount], const CString& folder);

// Reads that form from a whole command line (the program's path first).
// False for anything else, which is ignored: the program has no command line
// of its own for users.
bool ParseRestartCommandLine(const char* commandLine, bool (&ticked)[kReleaseCount], CString& folder);
