// Validation and creation of the folder typed or chosen in the folder picker,
// and the dialogue with the user about it (English message boxes).
#pragma once

enum FolderCheckResult {
  FolderOk = 0,          // acceptable and, in create mode, existing
  FolderInvalid = 1,     // not an absolute drive-letter path of valid names
  FolderNotCreated = 2,  // create mode: a level is missing after the attempt
};

// One folder name: 1 when acceptable, 0 when not (null, empty, a leading or
// trailing tab, space or dot, one of the characters " * / : < > ? \ |, a
// reserved device name, or longer than a file system allows).
int IsValidComponent(const char* name);

// Walks the path name by name. With checkOnly nonzero only its form is
// checked and the disk is not touched; with 0 each missing level is created
// from the top down. A null path, or one of 260 bytes or more, is invalid.
FolderCheckResult CheckOrCreateFolder(const char* path, int checkOnly);

// Accepts an existing path at once; offers to create a missing one; reports
// a failure in a message box. Returns 0 (accepted), -1 (creation declined),
// or the FolderCheckResult of the failure that was reported (1 or 2).
int ConfirmFolder(const char* path);
