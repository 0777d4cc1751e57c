// CreateFolderLevels: the target folder, made from the top down.
#include "target_folder.h"

void CreateFolderLevels(const CString& folder) {
  // The first level that can be made: after "X:\", or after "\\server\share\".
  int start = 0;
  if (folder.GetLength() >= 3 && folder[1] == ':' && folder[2] == '\\') start = 3;
  if (folder.Find("\\\\") == 0) {
    int share = folder.Find('\\', 2);
    start = share < 0 ? folder.GetLength() : folder.Find('\\', share + 1) + 1;
    if (start == 0) start = folder.GetLength();
  }
  for (int end = folder.Find('\\', start); end > 0; end = folder.Find('\\', end + 1))
    CreateDirectoryA(folder.Left(end), nullptr);
  CreateDirectoryA(folder, nullptr);
}
