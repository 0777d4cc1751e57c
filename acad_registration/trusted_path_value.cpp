// Reading one profile's TRUSTEDPATHS whole and exactly from the registry.
#include "registry_keys.h"
#include "trusted_path_merge.h"
#include "trusted_paths.h"

namespace {

// The text of a value read as Unicode (its first size bytes in data), in the
// program's code page. False when the value is more than one text (a full
// buffer without a terminating zero, text behind a stray zero) or holds a
// character the code page lacks, which a list written back would lose.
bool ExactText(const WCHAR (&data)[kTextBufferSize], DWORD size, CString& text) {
  const DWORD count = size / sizeof(WCHAR);
  DWORD length = 0;
  while (length < count && data[length] != 0) ++length;
  if (size % sizeof(WCHAR) != 0 || length == kTextBufferSize) return false;
  for (DWORD pos = length; pos < count; ++pos)
    if (data[pos] != 0) return false;
  char ansi[kTextBufferSize];
  BOOL replaced = FALSE;
  const int bytes = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, data, static_cast<int>(length), ansi,
                                        kTextBufferSize - 1, nullptr, &replaced);
  if ((bytes == 0 && length != 0) || replaced) return false;
  text = CString(ansi, bytes);
  return true;
}

}  // namespace

bool ReadTrustedPaths(HKEY variables, CString& current, DWORD& type) {
  current.Empty();
  type = REG_SZ;
  // Read as the registry keeps it, in Unicode: an ANSI read would put "?"
  // for every character code page 936 lacks.
  WCHAR data[kTextBufferSize] = {};
  DWORD size = sizeof data;
  LONG status = RegQueryValueExW(variables, L"TRUSTEDPATHS", nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  if (status == ERROR_FILE_NOT_FOUND) {
    type = REG_SZ;
    return true;
  }
  // Too long for the buffer, unreadable, or no text (a multi-string, say):
  // taking it as empty would replace the user's whole list.
  if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
  return ExactText(data, size, current);
}
