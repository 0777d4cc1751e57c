// Fuzz target: a profile's TRUSTEDPATHS as the registry hands it over (any
// bytes, any size up to the read buffer) taken as text, and the target folder
// merged into it. The input is the folder, a zero byte, then the value. The
// cases of the unit tests pin which lists gain the folder; here every result
// must keep to its buffer and have the shape of a merge.
#include <strings.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "trusted_path_merge.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(input), size);
  const size_t split = bytes.find('\0');
  if (split == std::string::npos) return 0;
  const std::string folder = bytes.substr(0, split), value = bytes.substr(split + 1);
  if (value.size() > kTextBufferSize) return 0;  // the registry refuses such a read

  static char data[kTextBufferSize];
  memset(data, 0, sizeof data);
  memcpy(data, value.data(), value.size());
  CString text("unchanged");
  if (!TrustedPathsText(data, static_cast<unsigned long>(value.size()), text)) {
    Check(text == "unchanged");
    return 0;
  }
  // The text is the value up to its zero, and only zeros follow.
  const std::string current = text.str();
  Check(current.size() < kTextBufferSize && value.compare(0, current.size(), current) == 0);
  Check(value.find_first_not_of('\0', current.size()) == std::string::npos);

  static char merged[kTextBufferSize];
  const bool fits = MergeTrustedPaths(text, CString(folder.c_str()), merged);
  const std::string result = merged;
  const size_t appended = current.size() + 1 + folder.size();
  if (current.size() <= 2) {
    Check(fits == (folder.size() < kTextBufferSize) && result == (fits ? folder : ""));
  } else if (!fits) {
    Check(result.empty() && appended >= kTextBufferSize);
  } else {
    // The list without regard to case, then nothing or ";" and the folder.
    Check(result.size() == current.size() || (result.size() == appended && result[current.size()] == ';'));
    Check(strncasecmp(result.c_str(), current.c_str(), current.size()) == 0);
    Check(result.size() == current.size() || strcasecmp(result.c_str() + current.size() + 1, folder.c_str()) == 0);
  }
  return 0;
}
