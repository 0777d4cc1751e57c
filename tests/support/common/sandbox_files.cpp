// File helpers of the sandbox that work through the platform's own calls.
#include <vector>

#include "sandbox.h"

void MakeFolders(const std::string& path) {
  for (size_t pos = path.find('\\', 3); ; pos = path.find('\\', pos + 1)) {
    CreateDirectoryA(path.substr(0, pos).c_str(), nullptr);
    if (pos == std::string::npos) break;
  }
}

bool PathExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void RemoveTree(const std::string& path) {
  WIN32_FIND_DATAA entry;
  std::string pattern = path + "\\*.*";
  HANDLE search = FindFirstFileA(pattern.c_str(), &entry);
  std::vector<std::pair<std::string, bool>> children;
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::string name = entry.cFileName;
      if (name != "." && name != "..")
        children.emplace_back(path + "\\" + name, (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
    } while (FindNextFileA(search, &entry));
    FindClose(search);
  }
  for (const auto& child : children) {
    SetFileAttributesA(child.first.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (child.second)
      RemoveTree(child.first);
    else
      DeleteFileA(child.first.c_str());
  }
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  RemoveDirectoryA(path.c_str());
}
