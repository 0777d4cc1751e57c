// Construction of the inventory and the target folder it hands to the
// registration steps.
#include "acad_inventory.h"

CAcadInventory::CAcadInventory() {
  m_strInstallPath = "";
  m_strValueName = "AcadLocation";
}

void CAcadInventory::SetInstallPath(CString path) {
  // The last character, not the last byte: the trail byte of a double-byte
  // character may have the value of a backslash.
  int last = path.ReverseFind('\\');
  if (last >= 0 && last == path.GetLength() - 1) path.Delete(last);
  m_strInstallPath = path;
}

void RemoveTrailingBackslash(CString& s) {
  int last = s.ReverseFind('\\');
  if (last <= 0) return;
  if (last == s.GetLength() - 1) s.Delete(last);
}
