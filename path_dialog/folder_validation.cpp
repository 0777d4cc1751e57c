// The form of a typed folder path, name by name, and the creation of its
// missing levels. Bytes are tested one by one: a backslash byte always ends
// a name, even the trail byte of a double-byte character.
#include <cstring>

#include "cstring.h"
#include "folder_check.h"
#include "format_buffers.h"

namespace {

// NTFS, FAT32 and exFAT all store names of at most 255 UTF-16 units.
constexpr int kMaxNameCharacters = 255;

bool IsEdgeByte(char ch) { return ch == '\t' || ch == ' ' || ch == '.'; }

bool IsForbiddenByte(char ch) { return ch != '\0' && strchr("\"*/:<>?\\|", ch) != nullptr; }

bool IsAsciiLetter(char ch) { return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z'); }

char AsciiUpper(char ch) { return (ch >= 'a' && ch <= 'z') ? static_cast<char>(ch - 'a' + 'A') : ch; }

bool SameAsciiNoCase(const char* text, const char* upper, size_t length) {
  for (size_t i = 0; i < length; ++i)
    if (AsciiUpper(text[i]) != upper[i]) return false;
  return true;
}

// CON, PRN, AUX, NUL, COM1-COM9 and LPT1-LPT9 name a device in every folder,
// whatever extension follows and with the blanks before the dot ignored:
// "nul.txt" or "Com1 .log" opens the device, and _access reports it present.
bool IsReservedDeviceName(const char* name) {
  size_t base = strcspn(name, ".");
  while (base > 0 && name[base - 1] == ' ') --base;
  if (base == 3) {
    for (const char* device : {"CON", "PRN", "AUX", "NUL"})
      if (SameAsciiNoCase(name, device, 3)) return true;
    return false;
  }
  return base == 4 && (SameAsciiNoCase(name, "COM", 3) || SameAsciiNoCase(name, "LPT", 3)) && name[3] >= '1' &&
         name[3] <= '9';
}

// The length the file system sees: a double-byte character is one unit.
int CharacterCount(const char* name) {
  int count = 0;
  for (const char* pos = name; *pos != '\0'; pos += CharLengthAt(pos)) ++count;
  return count;
}

}  // namespace

int IsValidComponent(const char* name) {
  if (name == nullptr || name[0] == '\0') return 0;
  size_t length = strlen(name);
  if (IsEdgeByte(name[0]) || IsEdgeByte(name[length - 1])) return 0;
  for (size_t pos = 0; pos < length; ++pos)
    if (IsForbiddenByte(name[pos])) return 0;
  if (IsReservedDeviceName(name)) return 0;
  if (CharacterCount(name) > kMaxNameCharacters) return 0;
  return 1;
}

FolderCheckResult CheckOrCreateFolder(const char* path, int checkOnly) {
  if (path == nullptr) return FolderInvalid;
  // A path that does not fit the working buffer is refused whole: a cut
  // copy names another folder than the one typed.
  char buffer[kPathBufferSize];
  if (!FormatPath260(buffer, "%s", path)) return FolderInvalid;
  size_t length = strlen(buffer);
  if (length < 3) return FolderInvalid;
  if (!IsAsciiLetter(buffer[0]) || buffer[1] != ':' || buffer[2] != '\\') return FolderInvalid;
  if (length == 3) {
    // A drive root is never created; in create mode it must exist.
    if (checkOnly) return FolderOk;
    return _access(buffer, 0) == 0 ? FolderOk : FolderNotCreated;
  }

  char* name = buffer + 3;
  for (;;) {
    char* end = strchr(name, '\\');
    bool last = end == nullptr;
    if (!last) *end = '\0';  // the buffer now ends with this name
    if (!IsValidComponent(name)) return FolderInvalid;
    if (!checkOnly) {
      CreateDirectoryA(buffer, nullptr);  // an existing level stays as it is
      if (_access(buffer, 0) != 0) return FolderNotCreated;
    }
    if (last) return FolderOk;
    *end = '\\';
    name = end + 1;
    if (*name == '\0') return FolderInvalid;  // a trailing backslash
  }
}
