// Fuzz target: the folder check in check mode on arbitrary bytes. It never
// reaches the file system (the stand-in's file calls abort), never reads or
// writes outside its buffers, and accepts only absolute drive-letter paths
// that fit the 260-byte path buffer, without empty names.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>

#include "folder_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The path as the picker holds it: the bytes up to the first zero.
  const std::string path(std::string(reinterpret_cast<const char*>(data), size).c_str());
  const FolderCheckResult result = CheckOrCreateFolder(path.c_str(), 1);
  bool sound = result == FolderOk || result == FolderInvalid;
  if (result == FolderOk)
    sound = sound && path.size() >= 3 && path.size() <= 259 && isalpha(static_cast<unsigned char>(path[0])) &&
            path.compare(1, 2, ":\\") == 0 &&
            (path.size() == 3 || (path[3] != '\\' && path.back() != '\\' && path.find("\\\\", 3) == std::string::npos));
  if (!sound) __builtin_trap();
  return 0;
}
