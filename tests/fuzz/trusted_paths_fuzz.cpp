// Fuzz target: a profile's TRUSTEDPATHS as the registry hands it over (any
// bytes, any size up to the read buffer) taken as text, and the target folder
// merged into it. The input is the folder, a zero byte, then the value.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "trusted_path_merge.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

bool IsLead(char ch) { return IsDBCSLeadByte(static_cast<BYTE>(ch)) != FALSE; }

// Upper case by characters: a-z of single-byte characters only.
std::string Upper(const std::string& text) {
  std::string upper = text;
  for (size_t pos = 0; pos < upper.size(); pos += (IsLead(upper[pos]) && pos + 1 < upper.size()) ? 2 : 1)
    if (upper[pos] >= 'a' && upper[pos] <= 'z') upper[pos] = static_cast<char>(upper[pos] - 'a' + 'A');
  return upper;
}

// Whether needle occurs in text at a character boundary.
bool ContainsByCharacters(const std::string& text, const std::string& needle) {
  for (size_t pos = 0; pos <= text.size(); pos += (pos < text.size() && IsLead(text[pos]) && pos + 1 < text.size()) ? 2 : 1) {
    if (text.compare(pos, needle.size(), needle) == 0 && pos + needle.size() <= text.size()) return true;
    if (pos == text.size()) break;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(input), size);
  const size_t split = bytes.find('\0');
  if (split == std::string::npos) return 0;
  const std::string folder = bytes.substr(0, split);
  const std::string value = bytes.substr(split + 1);
  if (value.size() > kTextBufferSize) return 0;  // the registry refuses such a read

  static char data[kTextBufferSize];
  memset(data, 0, sizeof data);
  memcpy(data, value.data(), value.size());
  CString text("unchanged");
  if (!TrustedPathsText(data, static_cast<unsigned long>(value.size()), text)) {
    Check(text == "unchanged");
    return 0;
  }
  const std::string current = text.str();
  Check(current.size() < kTextBufferSize && current.find('\0') == std::string::npos);
  Check(value.compare(0, current.size(), current) == 0);
  Check(value.find_first_not_of('\0', current.size()) == std::string::npos);

  static char merged[kTextBufferSize];
  const bool fits = MergeTrustedPaths(text, CString(folder.c_str()), merged);
  std::string expected;
  if (current.size() <= 2)
    expected = folder;
  else if (ContainsByCharacters(Upper(current), Upper(folder)))
    expected = Upper(current);
  else
    expected = Upper(current) + ";" + Upper(folder);
  Check(fits == (expected.size() < kTextBufferSize));
  Check(std::string(merged) == (fits ? expected : std::string()));
  return 0;
}
