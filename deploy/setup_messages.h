// The message boxes of the payload deployment, owned by the setup dialog and
// captioned "T-软件安装".
#pragma once

#include "afx.h"

extern const char kSetupCaption[];

// Tells the user that the payload folder was not found (OK only).
void ShowDataFolderNotFound();

// Asks what to do about a file that could not be copied to destination:
// IDABORT, IDRETRY or IDIGNORE (0 when the box could not be shown).
int AskAfterFailedCopy(const char* destination);
