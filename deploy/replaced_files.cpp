// SameFile and KeepCopyOf: what the install learns of a file before it
// replaces it.
#include "replaced_files.h"

#include <cstring>

#include "readable_file.h"

namespace {

// Whether both files can be read whole and hold the same bytes.
bool SameContent(const char* first, const char* second) {
  ReadableFile a(first), b(second);
  BY_HANDLE_FILE_INFORMATION infoA, infoB;
  if (!a || !b || !::GetFileInformationByHandle(a.Get(), &infoA) || !::GetFileInformationByHandle(b.Get(), &infoB) ||
      infoA.nFileSizeHigh != infoB.nFileSizeHigh || infoA.nFileSizeLow != infoB.nFileSizeLow)
    return false;
  static char bufferA[65536], bufferB[65536];
  for (;;) {
    DWORD readA = 0, readB = 0;
    if (!::ReadFile(a.Get(), bufferA, sizeof bufferA, &readA, nullptr) ||
        !::ReadFile(b.Get(), bufferB, sizeof bufferB, &readB, nullptr) || readA != readB ||
        memcmp(bufferA, bufferB, readA) != 0)
      return false;
    if (readA == 0) return true;
  }
}

}  // namespace

bool SameFile(const char* first, const char* second) {
  ReadableFile a(first), b(second);
  BY_HANDLE_FILE_INFORMATION infoA, infoB;
  return a && b && ::GetFileInformationByHandle(a.Get(), &infoA) && ::GetFileInformationByHandle(b.Get(), &infoB) &&
         infoA.dwVolumeSerialNumber == infoB.dwVolumeSerialNumber && infoA.nFileIndexHigh == infoB.nFileIndexHigh &&
         infoA.nFileIndexLow == infoB.nFileIndexLow;
}

DWORD KeepCopyOf(const char* destination, const char* source, const char* backup, bool once) {
  // What cannot be compared is kept: a copy too many costs nothing.
  if (SameContent(destination, source)) return ERROR_SUCCESS;
  if (CopyFileA(destination, backup, once ? TRUE : FALSE)) return ERROR_SUCCESS;
  const DWORD error = GetLastError();
  // No file there to keep, or (once) the first one kept already.
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || (once && error == ERROR_FILE_EXISTS))
    return ERROR_SUCCESS;
  return error;
}
