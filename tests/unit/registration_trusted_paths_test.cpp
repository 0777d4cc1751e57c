// Trusted-path update of the current user's AutoCAD profiles, in both worlds:
// the merge rules, double-byte folder names, which profiles are reached, and
// lists too long to read or to grow.
#include <gtest/gtest.h>

#include <cstring>

#include "acad_inventory.h"
#include "registry_helpers.h"
#include "sandbox.h"
#include "trusted_paths.h"

namespace {

const std::string kAcad = "SOFTWARE\\Autodesk\\AutoCAD";
const char kTarget[] = "C:\\Tavrin\\T-RedavIzor";
const char kUpperTarget[] = "C:\\TAVRIN\\T-REDAVIZOR";

std::string Variables(const std::string& productKey, const std::string& profile) {
  return kAcad + "\\" + productKey + "\\Profiles\\" + profile + "\\Variables";
}

std::optional<std::string> Trusted(const std::string& variablesKey) {
  return RegReadString(HKEY_CURRENT_USER, variablesKey, "TRUSTEDPATHS");
}

class TrustedPaths : public testing::Test {
 protected:
  TrustedPaths() { inventory.SetInstallPath(kTarget); }

  // One profile per value, below one product key; returns their Variables keys.
  std::vector<std::string> Profiles(const std::vector<std::string>& values) {
    std::vector<std::string> keys;
    for (size_t i = 0; i < values.size(); ++i) {
      keys.push_back(Variables("R18.0\\ACAD-8001:804", "P" + std::to_string(i)));
      RegWriteString(HKEY_CURRENT_USER, keys.back(), "TRUSTEDPATHS", values[i]);
    }
    return keys;
  }

  Sandbox sandbox;
  CAcadInventory inventory;
};

TEST_F(TrustedPaths, MissingOrShortValuesAreReplacedByTheTargetFolderInItsOwnCase) {
  std::vector<std::string> keys = Profiles({"", ";", ".", "ab", "abc"});
  const std::string noValue = Variables("R18.0\\ACAD-8001:804", "NoValue");
  RegMakeKey(HKEY_CURRENT_USER, noValue);
  inventory.AddTrustedPaths();
  for (const std::string& key : {keys[0], keys[1], keys[2], keys[3], noValue}) EXPECT_EQ(kTarget, Trusted(key)) << key;
  EXPECT_EQ(std::string("ABC;") + kUpperTarget, Trusted(keys[4]));
  std::optional<RegValue> written = RegRead(HKEY_CURRENT_USER, noValue, "TRUSTEDPATHS");
  ASSERT_TRUE(written);
  EXPECT_EQ(REG_SZ, written->type);
  EXPECT_EQ(std::string(kTarget) + '\0', written->bytes) << "stored with its terminating zero";
}

TEST_F(TrustedPaths, FolderIsAppendedAndTheWholeListUpperCased) {
  std::vector<std::string> keys = Profiles({"c:\\tools", "c:\\tools;"});
  inventory.AddTrustedPaths();
  EXPECT_EQ(std::string("C:\\TOOLS;") + kUpperTarget, Trusted(keys[0]));
  EXPECT_EQ(std::string("C:\\TOOLS;;") + kUpperTarget, Trusted(keys[1]));
}

TEST_F(TrustedPaths, FolderAlreadyInTheListInAnyCaseIsNotAddedAgain) {
  std::vector<std::string> keys =
      Profiles({"d:\\a;c:\\tavrin\\t-redavizor;e:\\b", "c:\\TAVRIN\\t-RedavIzor2", "x;C:\\Tavrin\\T-RedavIzor"});
  inventory.AddTrustedPaths();
  EXPECT_EQ(std::string("D:\\A;") + kUpperTarget + ";E:\\B", Trusted(keys[0]));
  EXPECT_EQ(std::string(kUpperTarget) + "2", Trusted(keys[1]));
  EXPECT_EQ(std::string("X;") + kUpperTarget, Trusted(keys[2]));
  inventory.AddTrustedPaths();
  EXPECT_EQ(std::string("X;") + kUpperTarget, Trusted(keys[2])) << "a second run adds nothing";
}

TEST_F(TrustedPaths, UpperCasingLeavesTheTrailBytesOfDoubleByteCharactersAlone) {
  // 乤 = 81 61 and 丄 = 81 41: upper-casing the trail byte of the one would
  // turn it into the other.
  ASSERT_EQ(std::string("\x81\x61"), std::string("乤"));
  ASSERT_EQ(std::string("\x81\x41"), std::string("丄"));
  inventory.SetInstallPath("C:\\乤\\T-RedavIzor");
  std::vector<std::string> keys = Profiles({"c:\\tools", "C:\\丄\\T-REDAVIZOR", "d:\\x;c:\\乤\\t-redavizor"});
  inventory.AddTrustedPaths();
  EXPECT_EQ(std::string("C:\\TOOLS;C:\\乤\\T-REDAVIZOR"), Trusted(keys[0]));
  EXPECT_EQ(std::string("C:\\丄\\T-REDAVIZOR;C:\\乤\\T-REDAVIZOR"), Trusted(keys[1])) << "丄 is not 乤";
  EXPECT_EQ(std::string("D:\\X;C:\\乤\\T-REDAVIZOR"), Trusted(keys[2]));
}

TEST_F(TrustedPaths, MatchNeverBeginsInsideADoubleByteCharacter) {
  // 丆 = 81 43: its trail byte followed by ":\TAVRIN..." spells the target.
  ASSERT_EQ(std::string("\x81\x43"), std::string("丆"));
  // 嘰 = 87 5C: a profile name ending in the byte of a backslash keeps it.
  ASSERT_EQ(std::string("\x87\x5C"), std::string("嘰"));
  const std::string profile = Variables("R18.0\\ACAD-8001:804", "配置嘰");
  RegWriteString(HKEY_CURRENT_USER, profile, "TRUSTEDPATHS", "d:\\丆:\\tavrin\\t-redavizor");
  inventory.AddTrustedPaths();
  EXPECT_EQ(std::string("D:\\丆:\\TAVRIN\\T-REDAVIZOR;") + kUpperTarget, Trusted(profile));
  EXPECT_EQ(kAcad + "\\R18.0\\ACAD-8001:804\\Profiles\n" + kAcad + "\\R18.0\\ACAD-8001:804\\Profiles\\配置嘰\n" +
                kAcad + "\\R18.0\\ACAD-8001:804\\Profiles\\配置嘰\\Variables\n" + kAcad +
                "\\R18.0\\ACAD-8001:804\\Profiles\\配置嘰\\Variables: TRUSTEDPATHS = sz:D:\\丆:\\TAVRIN\\T-REDAVIZOR;" +
                kUpperTarget + "\n",
            RegDump(HKEY_CURRENT_USER, kAcad + "\\R18.0\\ACAD-8001:804\\Profiles"))
      << "no profile key made from a cut name";
}

TEST_F(TrustedPaths, EveryProfileOfEveryReleaseAndProductIsReached) {
  LoadRegText(
      "REGEDIT4\n"
      "[HKEY_CURRENT_USER\\SOFTWARE\\Autodesk\\AutoCAD\\R17.1\\ACAD-6001:804\\Profiles\\<<Unnamed Profile>>\\Variables]\n"
      "\"TRUSTEDPATHS\"=\"c:\\\\tools\"\n"
      "[HKEY_CURRENT_USER\\SOFTWARE\\Autodesk\\AutoCAD\\R17.1\\ACAD-6001:804\\Profiles\\Second]\n"
      "[HKEY_CURRENT_USER\\SOFTWARE\\Autodesk\\AutoCAD\\R18.0\\ACAD-8001:804\\Profiles\\P\\Variables]\n"
      "[HKEY_CURRENT_USER\\SOFTWARE\\Autodesk\\AutoCAD\\R18.0\\ACAD-8004:804\\General]\n"
      "[HKEY_CURRENT_USER\\SOFTWARE\\Autodesk\\AutoCAD\\R99.0\\Future\\Profiles\\P\\Variables]\n"
      "\"TRUSTEDPATHS\"=\"...\"\n"
      "[HKEY_CURRENT_USER\\SOFTWARE\\Autodesk\\AutoCAD\\Empty]\n");
  inventory.AddTrustedPaths();
  EXPECT_EQ(std::string("C:\\TOOLS;") + kUpperTarget, Trusted(Variables("R17.1\\ACAD-6001:804", "<<Unnamed Profile>>")));
  EXPECT_EQ(kTarget, Trusted(Variables("R17.1\\ACAD-6001:804", "Second"))) << "the missing Variables key is created";
  EXPECT_EQ(kTarget, Trusted(Variables("R18.0\\ACAD-8001:804", "P")));
  EXPECT_EQ(std::string("...;") + kUpperTarget, Trusted(Variables("R99.0\\Future", "P")))
      << "a release outside the table is updated too";
  EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, kAcad + "\\R18.0\\ACAD-8004:804\\Profiles"))
      << "a product without profiles gets none";
  EXPECT_EQ(kAcad + "\\Empty\n", RegDump(HKEY_CURRENT_USER, kAcad + "\\Empty"));
}

TEST_F(TrustedPaths, WithoutAnAutoCadKeyNothingIsWritten) {
  inventory.AddTrustedPaths();
  EXPECT_EQ("", RegDump(HKEY_CURRENT_USER, "SOFTWARE\\Autodesk"));
}

TEST_F(TrustedPaths, ListsThatCannotBeReadWholeOrWouldGrowTooLongAreLeftAsTheyWere) {
  // The read buffer holds 13,000 bytes, the new list at most 12,999 characters;
  // the target folder adds 22 with its separator.
  const std::string tooLongToRead(13000, 'a');                  // 13,001 bytes with the terminator
  const std::string wouldGrowTooLong(12978, 'b');               // 12,978 + 22 = 13,000
  const std::string growsToTheLimit(12977, 'c');                // 12,977 + 22 = 12,999
  const std::string fullButHoldsTheFolder = std::string(12978, 'd') + kTarget;  // 12,999
  std::vector<std::string> keys =
      Profiles({tooLongToRead, wouldGrowTooLong, growsToTheLimit, fullButHoldsTheFolder, "c:\\tools"});
  // A REG_SZ of exactly 13,000 bytes without a terminating zero fills the
  // buffer with nothing to end it.
  const std::string unterminated = Variables("R18.0\\ACAD-8001:804", "Unterminated");
  const std::string bytes(13000, 'e');
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CURRENT_USER, unterminated.c_str(), &key));
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "TRUSTEDPATHS", 0, REG_SZ, reinterpret_cast<const BYTE*>(bytes.data()),
                                          static_cast<DWORD>(bytes.size())));
  RegCloseKey(key);
  const std::optional<RegValue> unterminatedBefore = RegRead(HKEY_CURRENT_USER, unterminated, "TRUSTEDPATHS");

  inventory.AddTrustedPaths();

  EXPECT_EQ(tooLongToRead, Trusted(keys[0]));
  EXPECT_EQ(wouldGrowTooLong, Trusted(keys[1]));
  std::optional<std::string> atLimit = Trusted(keys[2]);
  ASSERT_TRUE(atLimit);
  EXPECT_EQ(12999u, atLimit->size());
  EXPECT_EQ(std::string(12977, 'C') + ";" + kUpperTarget, *atLimit);
  EXPECT_EQ(std::string(12978, 'D') + kUpperTarget, Trusted(keys[3]));
  EXPECT_EQ(std::string("C:\\TOOLS;") + kUpperTarget, Trusted(keys[4])) << "the other profiles are still updated";
  std::optional<RegValue> unterminatedAfter = RegRead(HKEY_CURRENT_USER, unterminated, "TRUSTEDPATHS");
  ASSERT_TRUE(unterminatedBefore && unterminatedAfter);
  EXPECT_EQ(unterminatedBefore->bytes, unterminatedAfter->bytes) << "the unterminated value is unchanged";
}

TEST(ListSubkeysOf, AppendsTheSubkeyNamesInEnumerationOrderWithoutClearing) {
  Sandbox sandbox;
  RegMakeKey(HKEY_CURRENT_USER, kAcad + "\\R\\b");
  RegMakeKey(HKEY_CURRENT_USER, kAcad + "\\R\\A\\Deep");
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, (kAcad + "\\R").c_str(), 0, KEY_READ, &key));
  CStringArray names;
  names.Add("kept");
  ListSubkeys(key, names);
  RegCloseKey(key);
  ASSERT_EQ(3, names.GetSize());
  EXPECT_EQ("kept", names[0]);
  EXPECT_EQ("A", names[1]);
  EXPECT_EQ("b", names[2]);
}

}  // namespace
