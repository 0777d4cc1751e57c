// CPayloadCopier: copies the payload folder's files flat into the target
// folder and the settings file below APPDATA, stepping the progress bar.
#pragma once

#include "afx.h"

class CPayloadCopier {
 public:
  // One trailing backslash of targetFolder is dropped; progress is not owned.
  CPayloadCopier(CString targetFolder, CProgressCtrl* progress);

  // True when the listing was handled to its end, every entry however many;
  // false when the payload folder was not found or could not be
  // listed (the user has been told) or the user chose Abort after a failure.
  bool CopyPayload();

  // Deletes the download mark (the ":Zone.Identifier" stream) of a file;
  // true when there was one to delete.
  static bool RemoveZoneIdentifier(const char* filePath);

  // The payload folder, found without a word, and the names of its files
  // that the copy puts into the target folder, in the listing's order; false
  // when it is not found or cannot be listed whole.
  static bool ListTargetFiles(CString& payloadFolder, CStringArray& names);

  // The copy steps the progress bar once per entry up to this position, so
  // that the install's three later steps keep it within its range (0-50).
  static constexpr int kLastCopyStep = 47;

 private:
  enum class CopyResult { Copied, Ignored, Aborted };

  void StepProgress();
  // Copies one listed file where it belongs, keeping the file it replaces
  // when keepReplaced; after a failure the user chooses Abort, Retry or
  // Ignore.
  CopyResult CopyEntry(const CString& payloadFolder, const CString& destinationFolder, const CString& fileName,
                       bool keepReplaced);

  CString m_strTargetFolder;
  CProgressCtrl* m_pProgress;
};
