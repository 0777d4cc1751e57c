// Fuzz target: a profile's TRUSTEDPATHS as the registry hands it over (the
// input: the folder, a zero byte, then the value) taken as text, which is the
// value up to a zero followed by zeros only (text behind a stray zero would
// be lost), and the folder merged into it, which leaves its buffer empty when
// it does not fit.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "trusted_path_merge.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(input), size);
  const size_t split = bytes.find('\0');
  if (split == std::string::npos || size - split - 1 > kTextBufferSize) return 0;  // larger reads are refused
  const std::string folder = bytes.substr(0, split), value = bytes.substr(split + 1);
  static char data[kTextBufferSize], merged[kTextBufferSize];
  memset(data, 0, sizeof data);
  memcpy(data, value.data(), value.size());
  CString text("unchanged");
  bool sound = true;
  if (!TrustedPathsText(data, static_cast<unsigned long>(value.size()), text)) {
    sound = text == "unchanged";
  } else {
    const std::string current = text.str();
    sound = current.size() < kTextBufferSize && value.compare(0, current.size(), current) == 0 &&
            value.find_first_not_of('\0', current.size()) == std::string::npos;
    const bool fits = MergeTrustedPaths(text, CString(folder.c_str()), merged);
    sound = sound && (fits || merged[0] == '\0') && strlen(merged) < kTextBufferSize;
  }
  if (!sound) __builtin_trap();
  return 0;
}
