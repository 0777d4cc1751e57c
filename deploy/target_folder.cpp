// The target folder: made a full path, checked, then made from the top down.
#include "target_folder.h"

#include "pre_install_checks.h"

namespace {

// Where the first level that can be made begins in a full path: after "X:\",
// or after "\\server\share\". A double-byte character whose trail byte is a
// backslash never ends a level (Find steps over it).
int FirstLevel(const CString& folder) {
  if (folder.GetLength() < 2 || folder[0] != '\\' || folder[1] != '\\') return 3;
  const int share = folder.Find('\\', 2);
  const int end = share < 0 ? -1 : folder.Find('\\', share + 1);
  return end < 0 ? folder.GetLength() : end + 1;
}

// Creates folder and every missing level above it, from the top. What each
// level's creation answers is not examined; whether folder exists afterwards
// tells.
void CreateFolderLevels(const CString& folder) {
  for (int end = folder.Find('\\', FirstLevel(folder)); end > 0; end = folder.Find('\\', end + 1))
    CreateDirectoryA(folder.Left(end), nullptr);
  CreateDirectoryA(folder, nullptr);
}

}  // namespace

TargetProblem ResolveTargetFolder(CString& folder, int longestName) {
  char full[kPathBufferSize] = "";
  const DWORD length = GetFullPathNameA(folder, sizeof full, full, nullptr);
  if (length >= sizeof full) return TargetProblem::TooLong;
  if (length == 0) return GetLastError() == ERROR_FILENAME_EXCED_RANGE ? TargetProblem::TooLong : TargetProblem::Unresolved;
  folder = full;
  // The folder, a backslash and the name, within 259 characters.
  return folder.GetLength() + 1 + longestName < kPathBufferSize ? TargetProblem::None : TargetProblem::TooLong;
}

bool CreateTargetFolder(const CString& folder) {
  CreateFolderLevels(folder);
  return GetPathKind(folder) == PathFolder;
}
