// Fuzz target: the folder check in check mode on arbitrary bytes. It never
// reaches the file system (the stand-in's file calls abort), never reads or
// writes outside its buffers, and accepts only absolute drive-letter paths of
// non-empty names that fit the 260-byte path buffer.
#include <cstddef>
#include <cstdint>
#include <string>

#include "folder_check.h"

namespace {

bool IsAsciiLetter(char ch) { return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z'); }

bool HasDriveLetterForm(const std::string& path) {
  if (path.size() < 3 || path.size() > 259) return false;
  if (!IsAsciiLetter(path[0]) || path[1] != ':' || path[2] != '\\') return false;
  if (path.size() == 3) return true;
  // Names after the root: none empty, so no doubled or trailing backslash.
  return path[3] != '\\' && path.back() != '\\' && path.find("\\\\", 3) == std::string::npos;
}

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The path as the picker holds it: the bytes up to the first zero.
  std::string path(std::string(reinterpret_cast<const char*>(data), size).c_str());
  FolderCheckResult result = CheckOrCreateFolder(path.c_str(), 1);
  Check(result == FolderOk || result == FolderInvalid);
  if (result == FolderOk) Check(HasDriveLetterForm(path));
  // A single name is accepted alone exactly when it is accepted below a root.
  if (!path.empty() && path.find('\\') == std::string::npos && path.size() + 3 < 260) {
    int alone = IsValidComponent(path.c_str());
    Check(alone == 0 || alone == 1);
    Check((alone == 1) == (CheckOrCreateFolder(("C:\\" + path).c_str(), 1) == FolderOk));
  }
  return 0;
}
