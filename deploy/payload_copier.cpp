// The payload copy: the payload folder's files, flat, into the target folder
// (the settings file below APPDATA), with the user deciding after a failure.
#include "payload_copier.h"

#include <cstring>

#include "pre_install_checks.h"
#include "replaced_files.h"
#include "setup_messages.h"

namespace {

enum class Route { Skip, Target, Settings };

Route RouteOf(const WIN32_FIND_DATAA& entry, const CString& name) {
  if (name == "." || name == "..") return Route::Skip;
  if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return Route::Skip;
  // The setup program itself, and the fonts and plot driver that the
  // support-file copy puts into each AutoCAD folder.
  static const char* const kLeftOut[] = {"SetUp.EXE", "Tavrin_EN.shx", "Tavrin_HZ.shx", "Tavrin.prt5"};
  for (const char* leftOut : kLeftOut)
    if (name.CompareNoCase(leftOut) == 0) return Route::Skip;
  if (name.CompareNoCase("Tavrin.Ini") == 0) return Route::Settings;
  return Route::Target;
}

// The value of APPDATA, or the empty text when it is absent or does not fit
// the 260-byte buffer (whose content is then undefined on Windows).
void ReadAppData(char (&appData)[kPathBufferSize]) {
  memset(appData, 0, sizeof appData);
  DWORD length = GetEnvironmentVariableA("APPDATA", appData, kPathBufferSize);
  if (length == 0 || length >= static_cast<DWORD>(kPathBufferSize)) appData[0] = '\0';
}

}  // namespace

CPayloadCopier::CPayloadCopier(CString targetFolder, CProgressCtrl* progress)
    : m_strTargetFolder(targetFolder), m_pProgress(progress) {
  DropTrailingBackslash(m_strTargetFolder);
}

bool CPayloadCopier::RemoveZoneIdentifier(const char* filePath) {
  char stream[kPathBufferSize];
  if (!FormatPath260(stream, "%s:Zone.Identifier", filePath)) return false;
  return DeleteFileA(stream) != FALSE;
}

void CPayloadCopier::StepProgress() {
  if (m_pProgress != nullptr && m_pProgress->GetPos() < kLastCopyStep) m_pProgress->StepIt();
}

bool CPayloadCopier::ListTargetFiles(CString& payloadFolder, CStringArray& names) {
  char pattern[kPathBufferSize];
  if (!LocateDataFolder(payloadFolder) || !FormatPath260(pattern, "%s\\*.*", payloadFolder.GetString())) return false;
  return ForEachListed(pattern, [&](const WIN32_FIND_DATAA& entry, const CString& name) {
           if (RouteOf(entry, name) == Route::Target) names.Add(name);
         }) == ERROR_SUCCESS;
}

bool CPayloadCopier::CopyPayload() {
  CString payloadFolder;
  if (!FindDataFolder(payloadFolder)) return false;

  // The install sequence has created the target folder already; a target
  // too long for the buffer is not created here, and each file's copy then
  // fails and is reported.
  char targetFolder[kPathBufferSize];
  if (FormatPath260(targetFolder, "%s", m_strTargetFolder.GetString())) CreateDirectoryA(targetFolder, nullptr);

  char pattern[kPathBufferSize];
  WIN32_FIND_DATAA entry;
  memset(&entry, 0, sizeof entry);
  HANDLE search = INVALID_HANDLE_VALUE;
  if (FormatPath260(pattern, "%s\\*.*", payloadFolder.GetString())) search = FindFirstFileA(pattern, &entry);
  if (search == INVALID_HANDLE_VALUE) {
    // The folder is there but cannot be listed: nothing would be copied, so
    // the install must not go on to register files that are not there.
    ShowDataFolderNotFound();
    return false;
  }

  for (int index = 0;; ++index) {
    StepProgress();
    if (index != 0 && !FindNextFileA(search, &entry)) {
      if (GetLastError() == ERROR_NO_MORE_FILES) break;
      // A listing cut short by an error would leave the rest of the payload
      // out without a word: as for a folder that cannot be listed at all,
      // the user is told and nothing is registered.
      FindClose(search);
      ShowDataFolderNotFound();
      return false;
    }
    CString name(entry.cFileName, static_cast<int>(sizeof entry.cFileName));
    Route route = RouteOf(entry, name);
    if (route != Route::Skip) {
      CString destinationFolder = m_strTargetFolder;
      if (route == Route::Settings) {
        char appData[kPathBufferSize];
        ReadAppData(appData);
        char settingsFolder[kPathBufferSize];
        if (FormatPath260(settingsFolder, "%s\\Tavrin", appData)) CreateDirectoryA(settingsFolder, nullptr);
        destinationFolder = CString(appData) + "\\Tavrin";
      }
      if (CopyEntry(payloadFolder, destinationFolder, name, route == Route::Settings) == CopyResult::Aborted) {
        FindClose(search);
        return false;
      }
    }
  }
  FindClose(search);
  return true;
}

CPayloadCopier::CopyResult CPayloadCopier::CopyEntry(const CString& payloadFolder, const CString& destinationFolder,
                                                     const CString& fileName, bool keepReplaced) {
  char source[kPathBufferSize];
  char destination[kPathBufferSize];
  // A path too long for its buffer is never cut (a cut path names another
  // file): the file counts as not copied, and the user is asked as usual.
  bool formed = FormatPath260(source, "%s\\%s", payloadFolder.GetString(), fileName.GetString()) &&
                FormatPath260(destination, "%s\\%s", destinationFolder.GetString(), fileName.GetString());
  if (formed) {
    ClearReadOnly(source);
    RemoveZoneIdentifier(source);
    ClearReadOnly(destination);
  }
  // The settings file of an earlier install may hold the user's own
  // settings: it is kept as "<name>.bak" (the one before the latest install)
  // before it is replaced, and stays when it cannot be kept.
  char backup[kPathBufferSize] = "";
  formed = formed && (!keepReplaced || FormatPath260(backup, "%s.bak", destination));
  CString shownDestination = destinationFolder + "\\" + fileName;
  for (;;) {
    if (formed && (!keepReplaced || KeepCopyOf(destination, source, backup, false) == ERROR_SUCCESS) &&
        CopyFileA(source, destination, FALSE)) {
      ClearReadOnly(destination);
      return CopyResult::Copied;
    }
    // Started from the folder it installs into, a file is its own
    // destination: there is nothing to copy, and nothing to ask.
    if (formed && SameFile(source, destination)) return CopyResult::Copied;
    int answer = AskAfterFailedCopy(shownDestination);
    // A box that could not be shown (0) cannot be answered: stop rather
    // than retry without end.
    if (answer == IDABORT || answer == 0) return CopyResult::Aborted;
    if (answer == IDIGNORE) {
      if (formed) ClearReadOnly(destination);
      return CopyResult::Ignored;
    }
  }
}
