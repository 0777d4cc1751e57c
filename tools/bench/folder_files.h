// The files below a folder, for the benchmark programs: emptied before each
// install run, counted after it. Paths are UTF-8.
#pragma once

#include <string>

namespace bench {

// The folder with environment variables (%APPDATA%) expanded; UTF-8.
std::string ExpandFolder(const std::string& folder);
// Deletes every file below the folder, read-only ones too, and keeps the
// folders; returns how many files went. A missing folder has none.
int DeleteFilesBelow(const std::string& folder);
// How many files lie below the folder, at any depth.
int CountFilesBelow(const std::string& folder);

}  // namespace bench
