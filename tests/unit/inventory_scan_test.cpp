// The start-up scan on machines described as .reg text, in both worlds.
#include <gtest/gtest.h>

#include "acad_inventory.h"
#include "registry_helpers.h"
#include "sandbox.h"

namespace {

const char kHeader[] = "Windows Registry Editor Version 5.00\n";

// A product key with both values, as .reg text (the folder is escaped here).
std::string Product(const std::string& key, const std::string& location, const std::string& name) {
  std::string escaped;
  for (size_t i = 0; i < location.size(); ++i) {
    if (IsDBCSLeadByte(static_cast<BYTE>(location[i])) && i + 1 < location.size())
      escaped += location.substr(i++, 2);
    else
      escaped += location[i] == '\\' ? std::string("\\\\") : std::string(1, location[i]);
  }
  return "[HKEY_LOCAL_MACHINE\\" + key + "]\n\"AcadLocation\"=\"" + escaped + "\"\n\"ProductName\"=\"" + name +
         "\"\n";
}

std::string Join(const CStringArray& list) {
  std::string text;
  for (int i = 0; i < list.GetSize(); ++i) text += (i ? "|" : "") + list[i].str();
  return text;
}

int Index(int year) { return year - 2007; }

class InventoryScan : public testing::Test {
 protected:
  void Scan(const std::string& machine) {
    LoadRegText(kHeader + machine);
    inventory.ScanInstalledReleases();
  }
  int FoundReleases() const {
    int found = 0;
    for (const CStringArray& folders : inventory.m_aInstallFolders) found += folders.GetSize() > 0;
    return found;
  }
  Sandbox sandbox;
  CAcadInventory inventory;
};

TEST_F(InventoryScan, ProductIsFiledUnderItsYearWithKeyPathAndFolderWithoutTrailingBackslash) {
  Scan(Product("SOFTWARE\\Autodesk\\AutoCAD\\R18.0\\ACAD-8001:804", "C:\\Program Files\\AutoCAD 2010\\",
               "AutoCAD 2010 - 简体中文 (Simplified Chinese)"));
  ASSERT_EQ(1, inventory.m_aProductKeys[Index(2010)].GetSize());
  EXPECT_EQ("SOFTWARE\\Autodesk\\AutoCAD\\R18.0\\ACAD-8001:804\\", Join(inventory.m_aProductKeys[Index(2010)]));
  EXPECT_EQ("C:\\Program Files\\AutoCAD 2010", Join(inventory.m_aInstallFolders[Index(2010)]));
  EXPECT_EQ(1, FoundReleases());
}

TEST_F(InventoryScan, YearMustFollowTheFirstCharacterAndTheEarliestMatchingYearWins) {
  Scan(Product("SOFTWARE\\Autodesk\\AutoCAD\\R1\\P1", "C:\\A", "2012 AutoCAD") +
       Product("SOFTWARE\\Autodesk\\AutoCAD\\R1\\P2", "C:\\B", "2013 AutoCAD 2013") +
       Product("SOFTWARE\\Autodesk\\AutoCAD\\R1\\P3", "C:\\C", "AutoCAD 2016 (2014 format)") +
       Product("SOFTWARE\\Autodesk\\AutoCAD\\R1\\P4", "C:\\D", "AutoCAD LT"));
  // "2013 AutoCAD 2013": 2013 first occurs at position 0, so it is not that year.
  EXPECT_EQ(1, FoundReleases());
  EXPECT_EQ("C:\\C", Join(inventory.m_aInstallFolders[Index(2014)]));
  EXPECT_EQ(0, inventory.m_aInstallFolders[Index(2012)].GetSize());
  EXPECT_EQ(0, inventory.m_aInstallFolders[Index(2013)].GetSize());
  EXPECT_EQ(0, inventory.m_aInstallFolders[Index(2016)].GetSize());
}

TEST_F(InventoryScan, WowRootComesFirstAndKnowsOnly2007And2008) {
  const std::string product = "R17.1\\ACAD-6001:804";
  Scan(Product("SOFTWARE\\Wow6432Node\\Autodesk\\AutoCAD\\" + product, "C:\\ACAD2008", "AutoCAD 2008") +
       Product("SOFTWARE\\Wow6432Node\\Autodesk\\AutoCAD\\R17.2\\ACAD-7001:804", "C:\\ACAD2009", "AutoCAD 2009") +
       Product("SOFTWARE\\Autodesk\\AutoCAD\\" + product, "C:\\ACAD2008", "AutoCAD 2008") +
       Product("SOFTWARE\\Autodesk\\AutoCAD\\R17.2\\ACAD-7001:804", "C:\\ACAD2009", "AutoCAD 2009"));
  EXPECT_EQ("SOFTWARE\\Wow6432Node\\Autodesk\\AutoCAD\\R17.1\\ACAD-6001:804\\|"
            "SOFTWARE\\Autodesk\\AutoCAD\\R17.1\\ACAD-6001:804\\",
            Join(inventory.m_aProductKeys[Index(2008)]));
  EXPECT_EQ("C:\\ACAD2008|C:\\ACAD2008", Join(inventory.m_aInstallFolders[Index(2008)]));
  EXPECT_EQ("SOFTWARE\\Autodesk\\AutoCAD\\R17.2\\ACAD-7001:804\\", Join(inventory.m_aProductKeys[Index(2009)]))
      << "2009 below the Wow6432Node root is not recorded";
}

TEST_F(InventoryScan, ProductKeysAreFoundAtAnyDepthButOnlyWhereOneKeyHoldsBothValues) {
  Scan(Product("SOFTWARE\\Autodesk\\AutoCAD\\R19.0\\Deep\\Deeper\\ACAD-B001:804", "D:\\A2013", "AutoCAD 2013") +
       // The two values in different keys of one branch: nothing.
       "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Autodesk\\AutoCAD\\R19.0\\Split]\n\"AcadLocation\"=\"D:\\\\X\"\n"
       "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Autodesk\\AutoCAD\\R19.0\\Split\\Below]\n\"ProductName\"=\"AutoCAD 2013\"\n");
  EXPECT_EQ("SOFTWARE\\Autodesk\\AutoCAD\\R19.0\\Deep\\Deeper\\ACAD-B001:804\\",
            Join(inventory.m_aProductKeys[Index(2013)]));
  EXPECT_EQ(1, FoundReleases());
}

TEST_F(InventoryScan, ReleaseKeyHoldingTheLocationHidesTheProductsBelowIt) {
  Scan("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Autodesk\\AutoCAD\\R20.0]\n\"AcadLocation\"=\"C:\\\\Top\"\n" +
       Product("SOFTWARE\\Autodesk\\AutoCAD\\R20.0\\ACAD-E001:804", "C:\\Below", "AutoCAD 2015") +
       Product("SOFTWARE\\Autodesk\\AutoCAD\\R21.0", "C:\\Both\\", "AutoCAD 2017"));
  EXPECT_EQ(0, inventory.m_aInstallFolders[Index(2015)].GetSize());
  EXPECT_EQ("SOFTWARE\\Autodesk\\AutoCAD\\R21.0\\", Join(inventory.m_aProductKeys[Index(2017)]));
  EXPECT_EQ("C:\\Both", Join(inventory.m_aInstallFolders[Index(2017)]));
}

TEST_F(InventoryScan, LocationTooLongFor256BytesCountsAsAbsent) {
  const std::string tooLong = "C:\\\\" + std::string(253, 'L');  // 256 characters + terminator: 257 bytes, too many
  const std::string fits = "C:\\" + std::string(252, 'F');         // 255 characters + terminator: 256 bytes, fits
  Scan("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Autodesk\\AutoCAD\\R1\\Long]\n\"AcadLocation\"=\"" + tooLong +
       "\"\n" +
       Product("SOFTWARE\\Autodesk\\AutoCAD\\R1\\Long\\Inner", "C:\\Inner", "AutoCAD 2011") +
       Product("SOFTWARE\\Autodesk\\AutoCAD\\R2\\Fits", fits, "AutoCAD 2012"));
  EXPECT_EQ("SOFTWARE\\Autodesk\\AutoCAD\\R1\\Long\\Inner\\", Join(inventory.m_aProductKeys[Index(2011)]))
      << "the search goes on below the key whose value does not fit";
  EXPECT_EQ("C:\\" + std::string(252, 'F'), Join(inventory.m_aInstallFolders[Index(2012)]));
}

TEST_F(InventoryScan, TrailingBackslashesLoseOnlyOne) {
  Scan(Product("SOFTWARE\\Autodesk\\AutoCAD\\R1\\A", "C:\\Two\\\\", "AutoCAD 2010") +
       Product("SOFTWARE\\Autodesk\\AutoCAD\\R1\\B", "\\", "AutoCAD 2010"));
  EXPECT_EQ("C:\\Two\\|\\", Join(inventory.m_aInstallFolders[Index(2010)]));
}

TEST_F(InventoryScan, DoubleByteKeyAndFolderNamesAreKeptByteForByte) {
  // 嘰 ends in the byte of a backslash: the folder must keep it whole.
  Scan(Product("SOFTWARE\\Autodesk\\AutoCAD\\R18.0\\中文嘰", "C:\\软件\\嘰", "AutoCAD 2010 简体中文"));
  EXPECT_EQ(std::string("SOFTWARE\\Autodesk\\AutoCAD\\R18.0\\中文嘰\\"), Join(inventory.m_aProductKeys[Index(2010)]));
  EXPECT_EQ(std::string("C:\\软件\\嘰"), Join(inventory.m_aInstallFolders[Index(2010)]));
}

TEST_F(InventoryScan, NoAutoCadMeansNoRelease) {
  inventory.ScanInstalledReleases();
  EXPECT_EQ(0, FoundReleases());
  for (const CStringArray& keys : inventory.m_aProductKeys) EXPECT_EQ(0, keys.GetSize());
}

TEST(InventoryPaths, InstallPathAndTrailingBackslashRules) {
  CAcadInventory inventory;
  EXPECT_EQ("", inventory.m_strInstallPath);
  EXPECT_EQ("AcadLocation", inventory.m_strValueName);
  inventory.SetInstallPath("E:\\Tools\\\\");
  EXPECT_EQ("E:\\Tools\\", inventory.m_strInstallPath);
  inventory.SetInstallPath("");
  EXPECT_EQ("", inventory.m_strInstallPath);
  inventory.SetInstallPath("C:\\嘰");
  EXPECT_EQ(std::string("C:\\嘰"), inventory.m_strInstallPath.str());

  for (auto [in, out] : {std::pair<const char*, const char*>{"C:\\A\\", "C:\\A"}, {"\\", "\\"}, {"\\A", "\\A"},
                         {"A\\\\", "A\\"}, {"", ""}, {"C:\\", "C:"}}) {
    CString s(in);
    RemoveTrailingBackslash(s);
    EXPECT_EQ(out, s) << in;
  }
}

}  // namespace
