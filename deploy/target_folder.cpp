// CreateFolderLevels: the target folder, made from the top down.
#include "target_folder.h"

#include "pre_install_checks.h"

namespace {

bool IsSeparator(char ch) { return ch == '\\' || ch == '/'; }

// Byte position of the first "\" or "/" at or after start, -1 when none;
// never the trail byte of a double-byte character.
int FindSeparator(const CString& folder, int start) {
  const int backslash = folder.Find('\\', start), slash = folder.Find('/', start);
  return backslash < 0 || (slash >= 0 && slash < backslash) ? slash : backslash;
}

// Where the first level that can be made begins: after "X:\", after
// "\\server\share\", after the "\" of the current drive's root; 0 for a
// relative path. Either separator counts, as Windows takes both.
int FirstLevel(const CString& folder) {
  const int length = folder.GetLength();
  if (length >= 3 && folder[1] == ':' && IsSeparator(folder[2])) return 3;
  if (length >= 2 && IsSeparator(folder[0]) && IsSeparator(folder[1])) {
    const int share = FindSeparator(folder, 2);
    const int end = share < 0 ? -1 : FindSeparator(folder, share + 1);
    return end < 0 ? length : end + 1;
  }
  return length >= 1 && IsSeparator(folder[0]) ? 1 : 0;
}

}  // namespace

void CreateFolderLevels(const CString& folder) {
  for (int end = FindSeparator(folder, FirstLevel(folder)); end > 0; end = FindSeparator(folder, end + 1))
    CreateDirectoryA(folder.Left(end), nullptr);
  CreateDirectoryA(folder, nullptr);
}

bool MakeTargetFolder(CString& folder) {
  char full[kPathBufferSize];
  const DWORD length = GetFullPathNameA(folder, sizeof full, full, nullptr);
  if (length == 0 || length >= sizeof full) return false;
  folder = full;
  CreateFolderLevels(folder);
  return GetPathKind(folder) == PathFolder;
}
