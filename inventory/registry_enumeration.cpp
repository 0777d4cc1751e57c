// Subkey count and names, with the buffer sizes the callers rely on.
#include "registry_enumeration.h"

DWORD SubkeyCount(HKEY key) {
  DWORD count = 0;
  RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                   nullptr);
  return count;
}

void SubkeyName(HKEY key, DWORD index, char (&name)[kKeyNameBufferSize]) {
  name[0] = '\0';
  DWORD size = kKeyNameBufferSize;
  RegEnumKeyExA(key, index, name, &size, nullptr, nullptr, nullptr, nullptr);
}
