// Fuzz target: the folder (the input up to a zero byte) merged into a
// profile's TRUSTEDPATHS (the rest): the buffer is left empty when the
// result does not fit, and a list longer than two characters comes back
// whole, upper-cased, alone or with ";" and the folder behind it; or, when it
// was the folder alone, as the folder.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "trusted_path_merge.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(input), size);
  const size_t split = bytes.find('\0');
  if (split == std::string::npos) return 0;
  const std::string folder = bytes.substr(0, split), value = bytes.substr(split + 1);
  if (value.find('\0') != std::string::npos || value.size() >= kTextBufferSize) return 0;  // read whole or left
  static char merged[kTextBufferSize];
  CString list(value.c_str()), upperList(value.c_str()), upperFolder(folder.c_str());
  upperList.MakeUpper(), upperFolder.MakeUpper();
  const bool fits = MergeTrustedPaths(list, CString(folder.c_str()), merged);
  const std::string result(merged);
  bool sound = (fits || result.empty()) && result.size() < kTextBufferSize;
  CString alone(upperList);
  DropTrailingBackslash(alone);
  if (fits && value.size() > 2)
    sound = sound && (result == upperList.str() || result == upperList.str() + ";" + upperFolder.str() ||
                      (alone == upperFolder && result == folder));
  if (!sound) __builtin_trap();
  return 0;
}
