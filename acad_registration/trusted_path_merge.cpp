// The TRUSTEDPATHS text of a profile and the merge of the target folder
// into it.
#include "trusted_path_merge.h"

#include <cstring>

namespace {

// A value this short ("", ";", ".") holds no folder worth keeping.
constexpr int kMaxDiscardedLength = 2;

}  // namespace

bool TrustedPathsText(const char (&data)[kTextBufferSize], unsigned long size, CString& text) {
  size_t length = strnlen(data, sizeof data);
  if (length == sizeof data) return false;
  for (size_t pos = length; pos < size && pos < sizeof data; ++pos)
    if (data[pos] != '\0') return false;
  text = CString(data, static_cast<int>(length));
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
