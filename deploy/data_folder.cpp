// FindDataFolder: the payload folder, found from the program's own path
// (never from the current directory).
#include "pre_install_checks.h"
#include "setup_messages.h"

namespace {
constexpr DWORD kProgramPathSize = 261;
}

bool FindDataFolder(CString& folder) {
  if (LocateDataFolder(folder)) return true;
  ShowDataFolderNotFound();
  return false;
}

bool LocateDataFolder(CString& folder) {
  folder.Empty();
  char program[kProgramPathSize] = "";
  DWORD length = GetModuleFileNameA(nullptr, program, kProgramPathSize);
  // A path that filled the buffer was cut: its folder would be some other
  // folder, so it counts as not found.
  int lastSlash = -1;
  CString programFolder;
  if (length > 0 && length < kProgramPathSize) {
    programFolder = CString(program, static_cast<int>(length));
    lastSlash = programFolder.ReverseFind('\\');
  }
  if (lastSlash >= 0) {
    programFolder = programFolder.Left(lastSlash);
    folder = programFolder + "\\Data";
    if (GetPathKind(folder) == PathFolder) return true;
    folder = programFolder + "\\TR_RedavIzor2010.arx";
    if (GetPathKind(folder) == PathFile) {
      folder = programFolder;
      return true;
    }
  }
  return false;
}
