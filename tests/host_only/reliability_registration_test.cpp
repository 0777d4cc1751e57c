// Registration and trusted paths on hostile registries: long product keys and
// names, TRUSTEDPATHS values of unexpected types, lists at the length limit.
#include <cstring>

#include "acad_inventory.h"
#include "registry_helpers.h"
#include "reliability_support.h"
#include "sandbox.h"

namespace {

using reliability::Named;
using reliability::RegWriteRaw;

const std::string kAcad = "SOFTWARE\\Autodesk\\AutoCAD";
const char kTarget[] = "C:\\Tavrin\\T-RedavIzor";
const char kUpperTarget[] = "C:\\TAVRIN\\T-REDAVIZOR";

std::string Sz(const std::string& text) { return text + '\0'; }

class RegistrationReliability : public testing::Test {
 protected:
  RegistrationReliability() { inventory.SetInstallPath(kTarget); }

  // A product key of 2010 whose path, as the inventory holds it (with its
  // trailing backslash), has exactly length characters.
  std::string AddProductOfLength(size_t length, const std::string& folder) {
    const std::string parent = kAcad + "\\R18.0\\";
    std::string key = parent + Named("P" + std::to_string(length) + "-", length - parent.size() - 1);
    RegMakeKey(HKEY_LOCAL_MACHINE, key);
    inventory.m_aProductKeys[2010 - 2007].Add((key + "\\").c_str());
    inventory.m_aInstallFolders[2010 - 2007].Add(folder.c_str());
    return key;
  }

  Sandbox sandbox;
  CAcadInventory inventory;
};

// A product key path is held to the 259 characters of the path buffer like
// every other path of the registration: a longer one is skipped whole. Cut
// to 259 characters, the path of 261 would name an existing sibling key.
TEST_F(RegistrationReliability, ProductKeyPathsLongerThan259CharactersGetNothingWritten) {
  const std::string fits258 = AddProductOfLength(258, "C:\\A");
  const std::string fits259 = AddProductOfLength(259, "C:\\B");
  const std::string tooLong260 = AddProductOfLength(260, "C:\\C");
  const std::string tooLong261 = AddProductOfLength(261, "C:\\D");
  const std::string cutSibling = tooLong261.substr(0, tooLong261.size() - 1);
  RegMakeKey(HKEY_LOCAL_MACHINE, cutSibling);
  ASSERT_EQ(259u, cutSibling.size());

  inventory.RegisterRelease(2010);

  EXPECT_EQ("C:\\A\\ACAD2010P.dll",
            RegReadString(HKEY_LOCAL_MACHINE, fits258 + "\\Applications\\Tavrin2010DLLP", "LOADER"));
  EXPECT_EQ("C:\\B\\ACAD2010P.dll",
            RegReadString(HKEY_LOCAL_MACHINE, fits259 + "\\Applications\\Tavrin2010DLLP", "LOADER"));
  EXPECT_EQ(std::string(kTarget) + "\\TR_RedavIzor2010.ARX",
            RegReadString(HKEY_LOCAL_MACHINE, fits259 + "\\Applications\\TR_RedavIzor2010", "LOADER"));
  for (const std::string& key : {tooLong260, tooLong261, cutSibling})
    EXPECT_EQ("", reliability::TextDifference(key + "\n", RegDump(HKEY_LOCAL_MACHINE, key))) << key.size();
  EXPECT_EQ(0, host::OpenRegistryHandleCount());
}

// Names of 255 characters fit the 256-byte name buffers of the profile walk.
TEST_F(RegistrationReliability, ProfilesBelowNamesOf255CharactersAreUpdated) {
  const std::string variables = kAcad + "\\" + Named("R18.0-", 255, 'r') + "\\" + Named("ACAD-8001:804-", 255, 'p') +
                                "\\Profiles\\" + Named("<<Unnamed Profile>>", 255, 'u') + "\\Variables";
  RegWriteString(HKEY_CURRENT_USER, variables, "TRUSTEDPATHS", "c:\\tools");
  const std::string before = RegDump(HKEY_CURRENT_USER, "SOFTWARE");
  inventory.AddTrustedPaths();
  EXPECT_EQ(std::string("C:\\TOOLS;") + kUpperTarget, RegReadString(HKEY_CURRENT_USER, variables, "TRUSTEDPATHS"));
  std::string expected = before;
  const std::string oldLine = variables + ": TRUSTEDPATHS = sz:c:\\tools\n";
  expected.replace(expected.find(oldLine), oldLine.size(),
                   variables + ": TRUSTEDPATHS = sz:C:\\TOOLS;" + kUpperTarget + "\n");
  EXPECT_EQ("", reliability::TextDifference(expected, RegDump(HKEY_CURRENT_USER, "SOFTWARE"))) << "no other key made";
}

// The value's bytes are taken as text whatever its type, and written back
// as REG_SZ. A value whose bytes go on after the text's terminating zero
// (a second string of a REG_MULTI_SZ, say) cannot be read whole into one
// text; it is left exactly as it was rather than cut to its first string.
TEST_F(RegistrationReliability, TrustedPathsOfUnexpectedTypes) {
  const std::string merged = std::string(";") + kUpperTarget;
  const struct {
    const char* profile;
    DWORD type;
    std::string bytes;
    DWORD typeAfter;
    std::string bytesAfter;
  } rows[] = {
      {"Dword1", REG_DWORD, reliability::Dword(1), REG_SZ, Sz(kTarget)},
      {"DwordText", REG_DWORD, "c:\\t", REG_SZ, Sz("C:\\T" + merged)},
      {"Binary0", REG_BINARY, "", REG_SZ, Sz(kTarget)},
      {"Empty", REG_SZ, "", REG_SZ, Sz(kTarget)},
      {"ExtraZeros", REG_SZ, std::string("c:\\tools\0\0\0", 11), REG_SZ, Sz("C:\\TOOLS" + merged)},
      {"Expand", REG_EXPAND_SZ, Sz("%appdata%\\x"), REG_SZ, Sz("%APPDATA%\\X" + merged)},
      {"MultiOne", REG_MULTI_SZ, std::string("c:\\tools\0\0", 10), REG_SZ, Sz("C:\\TOOLS" + merged)},
      {"MultiTwo", REG_MULTI_SZ, std::string("c:\\a\0d:\\b\0\0", 11), REG_MULTI_SZ,
       std::string("c:\\a\0d:\\b\0\0", 11)},
      {"InnerZero", REG_SZ, std::string("c:\\a\0d:\\b\0", 10), REG_SZ, std::string("c:\\a\0d:\\b\0", 10)},
      {"ShortThenMore", REG_SZ, std::string("a\0d:\\b\0", 7), REG_SZ, std::string("a\0d:\\b\0", 7)},
  };
  auto variables = [](const char* profile) {
    return kAcad + "\\R18.0\\ACAD-8001:804\\Profiles\\" + profile + "\\Variables";
  };
  for (const auto& row : rows) RegWriteRaw(HKEY_CURRENT_USER, variables(row.profile), "TRUSTEDPATHS", row.type, row.bytes);

  inventory.AddTrustedPaths();

  for (const auto& row : rows) {
    std::optional<RegValue> after = RegRead(HKEY_CURRENT_USER, variables(row.profile), "TRUSTEDPATHS");
    ASSERT_TRUE(after) << row.profile;
    EXPECT_EQ(row.typeAfter, after->type) << row.profile;
    EXPECT_EQ(row.bytesAfter, after->bytes) << row.profile;
  }
}

// The new list holds at most 12,999 bytes: double-byte characters count
// two. The target folder adds 22 bytes with its separator.
TEST_F(RegistrationReliability, ListsOfDoubleByteTextAtTheLengthLimit) {
  // 乤 = 81 61: its trail byte is a lower-case letter, which stays as it is.
  const std::string wide = "乤";
  ASSERT_EQ(2u, wide.size());
  auto text = [&](size_t bytes) {
    std::string value = bytes % 2 ? "c:\\" : "c:\\x";
    while (value.size() < bytes) value += wide;
    return value;
  };
  auto upper = [&](size_t bytes) {
    std::string value = text(bytes);
    value.replace(0, bytes % 2 ? 3 : 4, bytes % 2 ? "C:\\" : "C:\\X");
    return value;
  };
  const struct {
    const char* profile;
    std::string before;
    std::string after;
  } rows[] = {
      {"Below", text(12976), upper(12976) + ";" + kUpperTarget},  // 12,998
      {"At", text(12977), upper(12977) + ";" + kUpperTarget},     // 12,999
      {"Above", text(12978), text(12978)},                        // 13,000: left as it was
      {"HoldsTarget", text(12978) + kTarget, upper(12978) + kUpperTarget},  // 12,999, nothing to add
  };
  auto variables = [](const char* profile) {
    return kAcad + "\\R18.0\\ACAD-8001:804\\Profiles\\" + profile + "\\Variables";
  };
  for (const auto& row : rows) RegWriteString(HKEY_CURRENT_USER, variables(row.profile), "TRUSTEDPATHS", row.before);

  inventory.AddTrustedPaths();

  for (const auto& row : rows) {
    std::optional<std::string> after = RegReadString(HKEY_CURRENT_USER, variables(row.profile), "TRUSTEDPATHS");
    ASSERT_TRUE(after) << row.profile;
    EXPECT_EQ("", reliability::TextDifference(row.after, *after)) << row.profile;
  }
}

}  // namespace
