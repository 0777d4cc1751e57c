// The merge of the target folder into a profile's TRUSTEDPATHS.
#include "trusted_path_merge.h"

#include <cstring>

namespace {

// A value this short ("", ";", ".") holds no folder worth keeping.
constexpr int kMaxDiscardedLength = 2;

// Whether one whole entry of the ";"-separated list is folder, with or
// without one trailing backslash: a longer folder with the same beginning,
// or a folder below it, is another folder. Both are upper case already; ";"
// is never the trail byte of a double-byte character, and the backslash
// dropped is a whole character.
bool ListHolds(const CString& list, const CString& folder) {
  for (int start = 0;;) {
    const int end = list.Find(';', start);
    CString entry = end < 0 ? list.Mid(start) : list.Mid(start, end - start);
    DropTrailingBackslash(entry);
    if (entry == folder) return true;
    if (end < 0) return false;
    start = end + 1;
  }
}

}  // namespace

bool MergeTrustedPaths(const CString& current, const CString& folder, char (&merged)[kTextBufferSize]) {
  memset(merged, 0, sizeof merged);
  CString upperCurrent(current);
  CString upperFolder(folder);
  upperCurrent.MakeUpper();
  upperFolder.MakeUpper();
  // A list that is the folder alone, as an earlier install left it, is
  // written as a first install writes it: an install run again (after one
  // that was stopped, say) leaves the list as one install does.
  CString alone(upperCurrent);
  DropTrailingBackslash(alone);
  if (current.GetLength() <= kMaxDiscardedLength || alone == upperFolder)
    return FormatText13000(merged, "%s", folder.GetString());
  if (ListHolds(upperCurrent, upperFolder)) return FormatText13000(merged, "%s", upperCurrent.GetString());
  return FormatText13000(merged, "%s;%s", upperCurrent.GetString(), upperFolder.GetString());
}
