// Fuzz target: the trusted-path update of a profile whose TRUSTEDPATHS value
// has any type, bytes and length, with any target folder.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "acad_inventory.h"
#include "host_test_api.h"

namespace {

constexpr size_t kReadBufferSize = 13000;
constexpr size_t kMaxListLength = 12999;
constexpr size_t kMaxValueLength = 14000;
const char kProfiles[] = "SOFTWARE\\Autodesk\\AutoCAD\\R18.0\\ACAD-8001:804\\Profiles\\";
const DWORD kTypes[8] = {REG_SZ, REG_SZ, REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ, REG_BINARY, REG_DWORD, REG_NONE};

// The checker's own loops over the value are left out of the coverage that
// guides the fuzzer, which then follows the program's code alone.
#define CHECKER_CODE __attribute__((no_sanitize("coverage")))

struct Stored {
  bool exists = false;
  DWORD type = 0;
  std::string bytes;
  bool operator==(const Stored& other) const {
    return exists == other.exists && type == other.type && bytes == other.bytes;
  }
};

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

void Write(const std::string& key, DWORD type, const std::string& bytes) {
  HKEY handle = nullptr;
  Check(RegCreateKeyA(HKEY_CURRENT_USER, key.c_str(), &handle) == ERROR_SUCCESS);
  if (type != REG_NONE || !bytes.empty())
    RegSetValueExA(handle, "TRUSTEDPATHS", 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                   static_cast<DWORD>(bytes.size()));
  RegCloseKey(handle);
}

Stored Read(const std::string& key) {
  Stored stored;
  HKEY handle = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return stored;
  std::vector<char> data(65536);
  DWORD size = static_cast<DWORD>(data.size());
  if (RegQueryValueExA(handle, "TRUSTEDPATHS", nullptr, &stored.type, reinterpret_cast<BYTE*>(data.data()),
                       &size) == ERROR_SUCCESS) {
    stored.exists = true;
    stored.bytes.assign(data.data(), size);
  }
  RegCloseKey(handle);
  return stored;
}

// Letters a-z as A-Z, every byte alike: coarser than the program's
// upper-casing, which leaves the trail bytes of double-byte characters.
CHECKER_CODE std::string Upper(std::string text) {
  for (char& ch : text)
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
  return text;
}

// The entries of a list, split at ';' and at zero bytes, empty ones left out.
CHECKER_CODE std::set<std::string> Entries(const std::string& bytes) {
  std::set<std::string> entries;
  size_t start = 0;
  for (size_t end = 0; end <= bytes.size(); ++end) {
    if (end < bytes.size() && bytes[end] != ';' && bytes[end] != '\0') continue;
    if (end > start) entries.insert(Upper(bytes.substr(start, end - start)));
    start = end + 1;
  }
  return entries;
}

// What the program can read: the bytes up to the first zero, when that zero
// lies within the read buffer and only zeros follow it.
CHECKER_CODE bool ReadWhole(const Stored& value, const std::string& text) {
  if (!value.exists) return true;
  if (value.bytes.size() > kReadBufferSize || text.size() >= kReadBufferSize) return false;
  for (size_t pos = text.size(); pos < value.bytes.size(); ++pos)
    if (value.bytes[pos] != '\0') return false;
  return true;
}

}  // namespace

// No entry of the list may be lost, the list never grows past 12,999
// characters, a value that cannot be read whole stays as it was, and a value
// that is written holds the target folder.
//
// Input: the target folder, a newline, then a control byte and the value.
// Control bits 0-2 pick the type; 0x80: the next two bytes (little-endian)
// give a length that the remaining bytes are repeated to; 0x40: no value;
// 0x20: no Variables key. Without a newline the target is the default one.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const size_t newline = input.find('\n');
  std::string target = "C:\\Tavrin\\T-RedavIzor";
  std::string rest = input;
  if (newline != std::string::npos && newline <= 300) {
    target = input.substr(0, newline);
    rest = input.substr(newline + 1);
  }
  const uint8_t control = rest.empty() ? 0 : static_cast<uint8_t>(rest[0]);
  rest = rest.empty() ? rest : rest.substr(1);
  std::string value = rest;
  if ((control & 0x80) && rest.size() >= 2) {
    size_t length = static_cast<uint8_t>(rest[0]) | static_cast<size_t>(static_cast<uint8_t>(rest[1])) << 8;
    std::string pattern = rest.size() > 2 ? rest.substr(2) : std::string("a");
    length = length > kMaxValueLength ? kMaxValueLength : length;
    value = pattern;
    while (value.size() < length) value += value;
    value.resize(length);
  }
  const DWORD type = kTypes[control & 7];

  host::Reset();
  const std::string fuzzed = std::string(kProfiles) + "Fuzzed\\Variables";
  const std::string other = std::string(kProfiles) + "Other\\Variables";
  if (control & 0x20)
    Write(std::string(kProfiles) + "Fuzzed", REG_NONE, "");
  else
    Write(fuzzed, (control & 0x40) ? REG_NONE : type, (control & 0x40) ? "" : value);
  Write(other, REG_SZ, std::string("c:\\tools") + '\0');
  const Stored before = Read(fuzzed);

  CAcadInventory inventory;
  inventory.SetInstallPath(target.c_str());
  const std::string folder = inventory.m_strInstallPath.str();
  inventory.AddTrustedPaths();
  const Stored after = Read(fuzzed);
  Check(host::OpenRegistryHandleCount() == 0);

  const std::string text = before.bytes.substr(0, before.bytes.find('\0'));
  const bool readWhole = ReadWhole(before, text);

  if (!readWhole) {
    Check(after == before);
  } else if (!(after == before)) {
    // Written: one REG_SZ text with its terminator, within the limit,
    // holding the target folder and every entry there was.
    Check(after.exists && after.type == REG_SZ);
    Check(!after.bytes.empty() && after.bytes.back() == '\0');
    const std::string written = after.bytes.substr(0, after.bytes.size() - 1);
    Check(written.find('\0') == std::string::npos);
    Check(written.size() <= kMaxListLength);
    Check(Upper(written).find(Upper(folder)) != std::string::npos);
    // A value of at most two characters is replaced by the folder.
    if (text.size() <= 2) {
      Check(written == folder);
    } else {
      const std::set<std::string> kept = Entries(written);
      for (const std::string& entry : Entries(before.bytes)) Check(kept.count(entry) == 1);
    }
  }
  // A list that can be read and has room for the folder gets it.
  if (readWhole && text.size() + 1 + folder.size() <= kMaxListLength) {
    Check(after.exists && after.type == REG_SZ);
    Check(Upper(after.bytes).find(Upper(folder)) != std::string::npos);
  }
  // The other profile is updated all the same.
  const Stored otherAfter = Read(other);
  Check(otherAfter.exists && Entries(otherAfter.bytes).count("C:\\TOOLS") == 1);
  Check(Upper(otherAfter.bytes).find(Upper(folder)) != std::string::npos);
  return 0;
}
