// Reading one profile's TRUSTEDPATHS whole from the registry.
#include "registry_keys.h"
#include "trusted_path_merge.h"
#include "trusted_paths.h"

bool ReadTrustedPaths(const char* variablesKey, CString& current) {
  current.Empty();
  ScopedRegKey key;
  LONG opened = RegOpenKeyA(HKEY_CURRENT_USER, variablesKey, key.Out());
  // A missing Variables key reads as an empty list (the key is created when
  // the value is written); one that exists but cannot be opened is left.
  if (!key) return opened == ERROR_FILE_NOT_FOUND;
  char data[kTextBufferSize] = {};
  DWORD type = REG_SZ;
  DWORD size = kTextBufferSize;
  LONG status = RegQueryValueExA(key.Get(), "TRUSTEDPATHS", nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  if (status == ERROR_FILE_NOT_FOUND) return true;
  // Too long for the buffer, or unreadable: taking it as empty would replace
  // the user's whole list with the target folder.
  if (status != ERROR_SUCCESS) return false;
  return TrustedPathsText(data, size, current);
}
