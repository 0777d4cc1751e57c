// The support files in each chosen AutoCAD installation, in both worlds:
// fonts, itextsharp.dll, the per-release modules and the 2008 plot driver.
#include "acad_inventory.h"
#include "deploy_test_support.h"

namespace {

const NameList kPayload = {"Tavrin_EN.shx", "Tavrin_HZ.shx", "itextsharp.dll", "ACAD2006P.dll", "ACAD2007P.dll",
                           "ACAD2010P.dll", "ACAD2050P.dll", "ACAD2051P.dll", "Tavrin.prt5", "other.arx"};
const NameList kMainFolder = {"ACAD2007P.dll", "ACAD2010P.dll", "ACAD2050P.dll", "Drv", "Fonts", "itextsharp.dll"};
const NameList kUntouched = {"Drv", "Fonts"};

class SupportFiles : public PayloadMachine {
 protected:
  // An install folder of the given release, with the given sub-folders.
  std::string AcadFolder(int year, const std::string& name, const NameList& subFolders = kUntouched) {
    std::string folder = sandbox.Path(name);
    for (const std::string& sub : subFolders) MakeFolders(folder + "\\" + sub);
    MakeFolders(folder);
    inventory.m_aInstallFolders[year - 2007].Add(folder.c_str());
    return folder;
  }
  void Install(const std::vector<int>& years) {
    int c[20] = {};
    for (int year : years) c[year - 2007] = 1;
    inventory.InstallSupportFiles(c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7], c[8], c[9], c[10], c[11], c[12],
                                  c[13], c[14], c[15], c[16], c[17], c[18], c[19]);
  }
  CAcadInventory inventory;
};

TEST_F(SupportFiles, EveryFolderOfEachChosenReleaseAndThePlotDriverFor2008Only) {
  AddPayload(kPayload);
  const std::string acad2008 = AcadFolder(2008, "R17.1");
  WriteTestFile(acad2008 + "\\Drv\\pdfplot9.hdi", "AutoCAD's driver");
  const std::string first2010 = AcadFolder(2010, "R18.0 a"), second2010 = AcadFolder(2010, "R18.0 b");
  const std::string unchosen = AcadFolder(2009, "R17.2");
  Install({2008, 2010, 2025});  // 2025 has no install folder
  for (const std::string& folder : {acad2008, first2010, second2010}) {
    EXPECT_EQ(kMainFolder, Names(folder)) << folder << ": the module names 2007 to 2050, whatever the release";
    EXPECT_EQ((NameList{"Tavrin_EN.shx", "Tavrin_HZ.shx"}), Names(folder + "\\Fonts"));
  }
  EXPECT_EQ("payload Tavrin.prt5", ReadTestFile(acad2008 + "\\Drv\\pdfplot9.hdi"));
  EXPECT_EQ(NameList{"pdfplot9.hdi"}, Names(acad2008 + "\\Drv"));
  EXPECT_EQ(NameList{}, Names(first2010 + "\\Drv"));
  EXPECT_EQ(kUntouched, Names(unchosen));
}

TEST_F(SupportFiles, MissingFoldersAndSourcesAndReadOnlyFilesFailSilently) {
  AddPayload({"itextsharp.dll", "Tavrin.prt5", "ACAD2010P.dll"});
  const std::string noDrv = AcadFolder(2008, "R17.1", {"Fonts"});
  const std::string bare = AcadFolder(2009, "R17.2", {});
  WriteTestFile(bare + "\\itextsharp.dll", "AutoCAD's copy");
  ASSERT_TRUE(SetFileAttributesA((bare + "\\itextsharp.dll").c_str(), FILE_ATTRIBUTE_READONLY));
  Install({2008, 2009});  // the sandbox fails the test on any message box
  EXPECT_EQ((NameList{"ACAD2010P.dll", "Fonts", "itextsharp.dll"}), Names(noDrv)) << "no Drv folder is made";
  EXPECT_EQ(NameList{}, Names(noDrv + "\\Fonts"));
  EXPECT_EQ("AutoCAD's copy", ReadTestFile(bare + "\\itextsharp.dll"));
  EXPECT_EQ((NameList{"ACAD2010P.dll", "itextsharp.dll"}), Names(bare)) << "no Fonts folder either";
}

TEST_F(SupportFiles, Only2026ChosenGetsNoPlotDriver) {
  AddPayload(kPayload);
  const std::string acad2026 = AcadFolder(2026, "R25.1");
  Install({2026});
  EXPECT_EQ(kMainFolder, Names(acad2026));
  EXPECT_EQ(NameList{}, Names(acad2026 + "\\Drv"));
}

TEST_F(SupportFiles, VanishedPayloadIsReportedOncePerFolderAndNothingIsCopied) {
  const std::string first = AcadFolder(2010, "R18.0 a"), second = AcadFolder(2010, "R18.0 b");
  RemoveTree(data);
  // The last candidate FindDataFolder tried is a folder holding a support
  // file here: nothing may be copied from it.
  MakeFolders(setupFolder + "\\TR_RedavIzor2010.arx");
  WriteTestFile(setupFolder + "\\TR_RedavIzor2010.arx\\itextsharp.dll", "stray");
  BoxRecorder boxes;
  Install({2010});
  ASSERT_EQ(2u, boxes.boxes.size());
  EXPECT_EQ(kDataFolderMissingText, boxes.boxes[1].text);
  EXPECT_EQ(kUntouched, Names(first));
  EXPECT_EQ(kUntouched, Names(second));
}

TEST_F(SupportFiles, PathTooLongForItsBufferIsSkippedNotCut) {
  AddPayload(kPayload);
  // 240 characters: Fonts\Tavrin_EN.shx does not fit (cut, it would create
  // "Tavrin_EN.sh"), itextsharp.dll and the modules do.
  const std::string folder = AcadFolder(2010, std::string(239 - sandbox.Root().size(), 'a'), {"Fonts"});
  ASSERT_EQ(240u, folder.size());
  Install({2010});
  EXPECT_EQ(NameList{}, Names(folder + "\\Fonts"));
  EXPECT_EQ((NameList{"ACAD2007P.dll", "ACAD2010P.dll", "ACAD2050P.dll", "Fonts", "itextsharp.dll"}), Names(folder));
}

}  // namespace
