// Load registration under HKEY_LOCAL_MACHINE, in both worlds and in both
// editions (this file also runs with the 64-bit edition's settings).
#include <gtest/gtest.h>

#include <initializer_list>

#include "acad_inventory.h"
#include "build_settings.h"
#include "registry_helpers.h"
#include "sandbox.h"

namespace {

const std::string kAcad = "SOFTWARE\\Autodesk\\AutoCAD";
const char kTarget[] = "C:\\Tavrin\\T-RedavIzor";

class LoadRegistration : public testing::Test {
 protected:
  LoadRegistration() { inventory.SetInstallPath(kTarget); }

  // A product key below HKEY_LOCAL_MACHINE, filed as the scan files it: the
  // path with a trailing backslash, and its install folder at the same index.
  std::string AddProduct(int year, const std::string& relativeKey, const std::string& installFolder) {
    std::string key = kAcad + "\\" + relativeKey;
    RegMakeKey(HKEY_LOCAL_MACHINE, key);
    inventory.m_aProductKeys[year - 2007].Add((key + "\\").c_str());
    inventory.m_aInstallFolders[year - 2007].Add(installFolder.c_str());
    return key;
  }

  void Register(std::initializer_list<int> years) {
    int flags[20] = {};
    for (int year : years) flags[year - 2007] = 1;
    inventory.RegisterSelectedReleases(flags[0], flags[1], flags[2], flags[3], flags[4], flags[5], flags[6],
                                       flags[7], flags[8], flags[9], flags[10], flags[11], flags[12], flags[13],
                                       flags[14], flags[15], flags[16], flags[17], flags[18], flags[19]);
  }

  static std::optional<std::string> Loader(const std::string& productKey, const std::string& subkey) {
    return RegReadString(HKEY_LOCAL_MACHINE, productKey + "\\Applications\\" + subkey, "LOADER");
  }

  Sandbox sandbox;
  CAcadInventory inventory;
};

TEST_F(LoadRegistration, Release2011WritesBothSubkeysWithTheirValuesInOrder) {
  std::string key = AddProduct(2011, "R18.1\\ACAD-9001:804", "C:\\Program Files\\AutoCAD 2011");
  Register({2011});
  const std::string apps = key + "\\Applications";
  EXPECT_EQ(apps + "\n" +
                apps + "\\Tavrin2011DLLP\n" +
                apps + "\\Tavrin2011DLLP: LOADCTRLS = dword:2\n" +
                apps + "\\Tavrin2011DLLP: LOADER = sz:C:\\Program Files\\AutoCAD 2011\\ACAD2010P.dll\n" +
                apps + "\\Tavrin2011DLLP: MANAGED = dword:1\n" +
                apps + "\\TR_RedavIzor2011\n" +
                apps + "\\TR_RedavIzor2011: LOADCTRLS = dword:2\n" +
                apps + "\\TR_RedavIzor2011: LOADER = sz:C:\\Tavrin\\T-RedavIzor\\TR_RedavIzor2010.ARX\n",
            RegDump(HKEY_LOCAL_MACHINE, apps));
}

TEST_F(LoadRegistration, SubkeysCarryTheYearAndFileNamesTheModuleNumbersOfEveryRelease) {
  struct Row {
    int year, arx, dll;
  };
  const Row rows[] = {{2007, 2008, 2007}, {2008, 2008, 2007}, {2009, 2009, 2009}, {2010, 2010, 2010},
                      {2011, 2010, 2010}, {2012, 2010, 2010}, {2013, 2013, 2013}, {2014, 2013, 2013},
                      {2015, 2015, 2013}, {2016, 2015, 2013}, {2017, 2017, 2013}, {2018, 2018, 2013},
                      {2019, 2019, 2013}, {2020, 2019, 2013}, {2021, 2021, 2013}, {2022, 2021, 2013},
                      {2023, 2021, 2013}, {2024, 2021, 2013}, {2025, 2025, 2013}, {2026, 2025, 2013}};
  for (const Row& row : rows) AddProduct(row.year, "R" + std::to_string(row.year) + "\\P", "D:\\A");
  Register({2007, 2008, 2009, 2010, 2011, 2012, 2013, 2014, 2015, 2016,
            2017, 2018, 2019, 2020, 2021, 2022, 2023, 2024, 2025, 2026});
  for (const Row& row : rows) {
    const std::string key = kAcad + "\\R" + std::to_string(row.year) + "\\P";
    const std::string year = std::to_string(row.year);
    EXPECT_EQ(std::string(kTarget) + "\\TR_RedavIzor" + std::to_string(row.arx) + ".ARX",
              Loader(key, "TR_RedavIzor" + year)) << row.year;
    EXPECT_EQ("D:\\A\\ACAD" + std::to_string(row.dll) + "P.dll", Loader(key, "Tavrin" + year + "DLLP")) << row.year;
  }
}

TEST_F(LoadRegistration, EveryProductKeyGetsBothSubkeysWithItsOwnInstallFolder) {
  std::string first = AddProduct(2013, "R19.0\\ACAD-B001:804", "C:\\AutoCAD 2013");
  std::string second = AddProduct(2013, "R19.0\\ACAD-B004:409", "D:\\Mechanical 2013");
  Register({2013});
  for (const std::string& key : {first, second})
    EXPECT_EQ(std::string(kTarget) + "\\TR_RedavIzor2013.ARX", Loader(key, "TR_RedavIzor2013")) << key;
  EXPECT_EQ("C:\\AutoCAD 2013\\ACAD2013P.dll", Loader(first, "Tavrin2013DLLP"));
  EXPECT_EQ("D:\\Mechanical 2013\\ACAD2013P.dll", Loader(second, "Tavrin2013DLLP"));
}

TEST_F(LoadRegistration, ValuesLeftByAnEarlierInstallAreGoneAndASecondRunChangesNothing) {
  std::string key = AddProduct(2010, "R18.0\\ACAD-8001:804", "C:\\AutoCAD 2010");
  const std::string apps = key + "\\Applications";
  RegWriteString(HKEY_LOCAL_MACHINE, apps + "\\TR_RedavIzor2010", "LOADER", "E:\\Old\\TR_RedavIzor2010.ARX");
  RegWriteString(HKEY_LOCAL_MACHINE, apps + "\\TR_RedavIzor2010", "DESCRIPTION", "stale");
  RegWriteDword(HKEY_LOCAL_MACHINE, apps + "\\Tavrin2010DLLP", "Stale", 7);
  RegWriteDword(HKEY_LOCAL_MACHINE, apps + "\\OtherPlugin", "LOADCTRLS", 14);
  Register({2010});
  EXPECT_FALSE(RegRead(HKEY_LOCAL_MACHINE, apps + "\\TR_RedavIzor2010", "DESCRIPTION"));
  EXPECT_FALSE(RegRead(HKEY_LOCAL_MACHINE, apps + "\\Tavrin2010DLLP", "Stale"));
  EXPECT_EQ(std::string(kTarget) + "\\TR_RedavIzor2010.ARX", Loader(key, "TR_RedavIzor2010"));
  EXPECT_TRUE(RegRead(HKEY_LOCAL_MACHINE, apps + "\\OtherPlugin", "LOADCTRLS")) << "other plug-ins are not touched";

  const std::string once = RegDump(HKEY_LOCAL_MACHINE, kAcad);
  Register({2010});
  EXPECT_EQ(once, RegDump(HKEY_LOCAL_MACHINE, kAcad));
}

TEST_F(LoadRegistration, NothingSelectedLeavesTheMachineKeysAloneButStillUpdatesTrustedPaths) {
  AddProduct(2010, "R18.0\\ACAD-8001:804", "C:\\AutoCAD 2010");
  RegMakeKey(HKEY_CURRENT_USER, kAcad + "\\R18.0\\ACAD-8001:804\\Profiles\\<<Unnamed Profile>>\\Variables");
  const std::string before = RegDump(HKEY_LOCAL_MACHINE, "SOFTWARE");
  Register({});
  inventory.RegisterRelease(2006);
  inventory.RegisterRelease(2027);
  EXPECT_EQ(before, RegDump(HKEY_LOCAL_MACHINE, "SOFTWARE"));
  EXPECT_EQ(kTarget, RegReadString(HKEY_CURRENT_USER,
                                   kAcad + "\\R18.0\\ACAD-8001:804\\Profiles\\<<Unnamed Profile>>\\Variables",
                                   "TRUSTEDPATHS"));
}

TEST_F(LoadRegistration, ValuesAreStoredWithTheirTypesAndExactByteCounts) {
  std::string key = AddProduct(2018, "R22.0\\ACAD-1001:804", "C:\\AutoCAD 2018");
  Register({2018});
  std::optional<RegValue> loader = RegRead(HKEY_LOCAL_MACHINE, key + "\\Applications\\TR_RedavIzor2018", "LOADER");
  ASSERT_TRUE(loader);
  EXPECT_EQ(REG_SZ, loader->type);
  EXPECT_EQ(43u, loader->bytes.size()) << "42 characters and the terminating zero";
  EXPECT_EQ(std::string("C:\\Tavrin\\T-RedavIzor\\TR_RedavIzor2018.ARX\0", 43), loader->bytes);
  std::optional<RegValue> managed = RegRead(HKEY_LOCAL_MACHINE, key + "\\Applications\\Tavrin2018DLLP", "MANAGED");
  ASSERT_TRUE(managed);
  EXPECT_EQ(REG_DWORD, managed->type);
  EXPECT_EQ(std::string("\x01\0\0\0", 4), managed->bytes);
}

TEST_F(LoadRegistration, Release2009GetsTheExtra2008SubkeyOnlyInThe64BitEdition) {
  std::string first = AddProduct(2009, "R17.2\\ACAD-7001:804", "C:\\AutoCAD 2009");
  std::string second = AddProduct(2009, "R17.2\\ACAD-7005:804", "C:\\Architecture 2009");
  std::string release2010 = AddProduct(2010, "R18.0\\ACAD-8001:804", "C:\\AutoCAD 2010");
  Register({2009, 2010});
  for (const std::string& key : {first, second}) {
    EXPECT_EQ(std::string(kTarget) + "\\TR_RedavIzor2009.ARX", Loader(key, "TR_RedavIzor2009")) << key;
    if (g_nBuildBits == 64)
      EXPECT_EQ(std::string(kTarget) + "\\TR_RedavIzor2008.ARX", Loader(key, "TR_RedavIzor2008")) << key;
    else
      EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, key + "\\Applications\\TR_RedavIzor2008")) << key;
  }
  EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, release2010 + "\\Applications\\TR_RedavIzor2008"));
}

TEST_F(LoadRegistration, ProductKeyThatCannotBeOpenedIsSkipped) {
  LoadRegText(
      "REGEDIT4\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Autodesk\\AutoCAD\\R18.0\\ACAD-8001:804]\n"
      "\"AcadLocation\"=\"C:\\\\Gone\"\n\"ProductName\"=\"AutoCAD 2010\"\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Autodesk\\AutoCAD\\R18.0\\ACAD-8004:804]\n"
      "\"AcadLocation\"=\"C:\\\\Kept\"\n\"ProductName\"=\"AutoCAD Mechanical 2010\"\n");
  inventory.ScanInstalledReleases();
  ASSERT_EQ(2, inventory.m_aProductKeys[2010 - 2007].GetSize());
  RegRemoveTree(HKEY_LOCAL_MACHINE, kAcad + "\\R18.0\\ACAD-8001:804");
  Register({2010});
  EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kAcad + "\\R18.0\\ACAD-8001:804")) << "not created again";
  EXPECT_EQ("C:\\Kept\\ACAD2010P.dll", Loader(kAcad + "\\R18.0\\ACAD-8004:804", "Tavrin2010DLLP"));
}

TEST_F(LoadRegistration, PathsLongerThan259CharactersAreNotWrittenNorCut) {
  // "\ACAD2010P.dll" adds 14 characters: 245 + 14 = 259 fits, 246 + 14 does not.
  const std::string fits = "C:\\" + std::string(242, 'f');
  const std::string tooLong = "C:\\" + std::string(243, 'l');
  std::string fitting = AddProduct(2010, "R18.0\\Fits", fits);
  std::string overlong = AddProduct(2010, "R18.0\\TooLong", tooLong);
  // "\TR_RedavIzor2010.ARX" adds 21 characters to the target folder.
  inventory.SetInstallPath(("C:\\" + std::string(236, 't')).c_str());
  Register({2010});
  EXPECT_EQ(fits + "\\ACAD2010P.dll", Loader(fitting, "Tavrin2010DLLP"));
  EXPECT_FALSE(Loader(overlong, "Tavrin2010DLLP"));
  EXPECT_TRUE(RegRead(HKEY_LOCAL_MACHINE, overlong + "\\Applications\\Tavrin2010DLLP", "MANAGED"));
  for (const std::string& key : {fitting, overlong}) {
    EXPECT_FALSE(Loader(key, "TR_RedavIzor2010")) << key;
    EXPECT_TRUE(RegRead(HKEY_LOCAL_MACHINE, key + "\\Applications\\TR_RedavIzor2010", "LOADCTRLS")) << key;
  }
  inventory.SetInstallPath(("C:\\" + std::string(235, 't')).c_str());
  Register({2010});
  EXPECT_EQ("C:\\" + std::string(235, 't') + "\\TR_RedavIzor2010.ARX", Loader(fitting, "TR_RedavIzor2010"));
}

TEST_F(LoadRegistration, MismatchedListsRaiseTheListErrorAfterTheDllSubkeysLoadCtrls) {
  std::string complete = AddProduct(2011, "R18.1\\ACAD-9001:804", "C:\\AutoCAD 2011");
  std::string broken = AddProduct(2011, "R18.1\\ACAD-9004:804", "C:\\Unused");
  inventory.m_aInstallFolders[2011 - 2007].RemoveAt(1);
  AddProduct(2012, "R18.2\\ACAD-A001:804", "C:\\AutoCAD 2012");
  RegWriteString(HKEY_LOCAL_MACHINE, broken + "\\Applications\\Tavrin2011DLLP", "LOADER", "E:\\Old\\ACAD2010P.dll");
  const std::string profile = kAcad + "\\R18.1\\ACAD-9001:804\\Profiles\\P\\Variables";
  RegWriteString(HKEY_CURRENT_USER, profile, "TRUSTEDPATHS", "c:\\tools");

  EXPECT_THROW(Register({2011, 2012}), CInvalidArgException);

  EXPECT_EQ("C:\\AutoCAD 2011\\ACAD2010P.dll", Loader(complete, "Tavrin2011DLLP"));
  EXPECT_EQ(std::string(kTarget) + "\\TR_RedavIzor2010.ARX", Loader(broken, "TR_RedavIzor2011"));
  const std::string dll = broken + "\\Applications\\Tavrin2011DLLP";
  EXPECT_EQ(dll + "\n" + dll + ": LOADCTRLS = dword:2\n", RegDump(HKEY_LOCAL_MACHINE, dll));
  EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kAcad + "\\R18.2\\ACAD-A001:804\\Applications"))
      << "the registration stops at the error";
  EXPECT_EQ("c:\\tools", RegReadString(HKEY_CURRENT_USER, profile, "TRUSTEDPATHS"));
}

}  // namespace
