// IsAcadRunning: looks for AutoCAD in the list of running processes.
#include <cstring>

#include "pre_install_checks.h"

// The record must carry its own size: 296 bytes in the 32-bit build. The
// 64-bit edition's record is larger, and Process32First refuses a record
// whose dwSize is smaller than the structure it fills, so the size is always
// taken from the structure, never written as a number.
static_assert(sizeof(void*) != 4 || sizeof(PROCESSENTRY32) == 296, "PROCESSENTRY32 of the 32-bit build");

bool IsAcadRunning() {
  CString wanted("acad.exe");
  wanted.MakeLower();

  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;

  PROCESSENTRY32 entry;
  memset(&entry, 0, sizeof entry);
  entry.dwSize = sizeof(PROCESSENTRY32);
  bool running = false;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    // A substring test on the file name: ACAD.EXE and xacad.exe both count.
    CString exeName(entry.szExeFile, static_cast<int>(sizeof entry.szExeFile));
    exeName.MakeLower();
    if (exeName.Find(wanted) >= 0) {
      running = true;
      break;
    }
  }
  CloseHandle(snapshot);
  return running;
}
