// Construction of the inventory and the target folder it hands to the
// registration steps.
#include "acad_inventory.h"

CAcadInventory::CAcadInventory() {
  m_strInstallPath = "";
  m_strValueName = "AcadLocation";
}

void CAcadInventory::SetInstallPath(CString path) {
  DropTrailingBackslash(path);
  m_strInstallPath = path;
}

void RemoveTrailingBackslash(CString& s) {
  // A text whose only backslash is its first character keeps it.
  if (s.ReverseFind('\\') > 0) DropTrailingBackslash(s);
}

void IncompleteRelease::Note(DWORD error) {
  if (error == ERROR_ACCESS_DENIED)
    missingRights = true;
  else if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION)
    inUse = true;
  else if (error != ERROR_SUCCESS && otherError == ERROR_SUCCESS)
    otherError = error;
}
