// CPayloadCopier: copies the payload folder's files flat into the target
// folder and the settings file below APPDATA, stepping the progress bar.
#pragma once

#include "afx.h"

class CPayloadCopier {
 public:
  // One trailing backslash of targetFolder is dropped; progress is not owned.
  CPayloadCopier(CString targetFolder, CProgressCtrl* progress);

  // True when the listing was handled to its end (or to the cap of 101
  // entries); false when the payload folder was not found or could not be
  // listed (the user has been told) or the user chose Abort after a failure.
  bool CopyPayload();

  // Deletes the download mark (the ":Zone.Identifier" stream) of a file;
  // true when there was one to delete.
  static bool RemoveZoneIdentifier(const char* filePath);

 private:
  enum class CopyResult { Copied, Ignored, Aborted };

  void StepProgress();
  // Copies one listed file where it belongs; after a failure the user
  // chooses Abort, Retry or Ignore.
  CopyResult CopyEntry(const CString& payloadFolder, const CString& destinationFolder, const CString& fileName);

  CString m_strTargetFolder;
  CProgressCtrl* m_pProgress;
};
