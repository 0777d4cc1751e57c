// One profile's TRUSTEDPATHS: reading the current list whole, and adding the
// target folder to it unless the list already holds it.
#include <cstring>

#include "registry_key.h"
#include "trusted_paths.h"

namespace {

// A value this short ("", ";", ".") holds no folder worth keeping.
constexpr int kMaxDiscardedLength = 2;

}  // namespace

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
  // Text that fills the buffer with no terminating zero was stored without
  // one and may go on beyond it.
  size_t length = strnlen(data, sizeof data);
  if (length == sizeof data) return false;
  // Bytes after the terminating zero (the further strings of a REG_MULTI_SZ,
  // or text behind a stray zero) belong to the value too: written back as
  // the text alone, they would be lost.
  for (size_t pos = length; pos < size && pos < sizeof data; ++pos)
    if (data[pos] != '\0') return false;
  current = CString(data, static_cast<int>(length));
  return true;
}

bool MergeTrustedPaths(const CString& current, const CString& folder, char (&merged)[kTextBufferSize]) {
  memset(merged, 0, sizeof merged);
  if (current.GetLength() <= kMaxDiscardedLength) return FormatText13000(merged, "%s", folder.GetString());
  // Compared without case, character by character: the trail byte of a
  // double-byte character is never changed and never starts a match.
  CString upperCurrent(current);
  CString upperFolder(folder);
  upperCurrent.MakeUpper();
  upperFolder.MakeUpper();
  if (upperCurrent.Find(upperFolder) >= 0) return FormatText13000(merged, "%s", upperCurrent.GetString());
  return FormatText13000(merged, "%s;%s", upperCurrent.GetString(), upperFolder.GetString());
}
