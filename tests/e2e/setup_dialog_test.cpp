// The setup dialog shows, enables, ticks and hides exactly the release boxes
// of the machine it finds, and leaving it in any way writes nothing.
#include "e2e_support.h"

namespace {

// The release check boxes, 2007 first (2010 and 2011 swap their ids).
const int kReleaseBoxes[20] = {1018, 1019, 1020, 1027, 1026, 1028, 1029, 1030, 1031, 1032,
                               1033, 1034, 1035, 1036, 1037, 1038, 1039, 1040, 1041, 1042};
int Box(int year) { return kReleaseBoxes[year - 2007]; }

class SetupDialog : public SetupTest {
 protected:
  // Each release's box as visible, enabled, checked ("vex"), 2007 first.
  std::string Boxes() {
    std::string states;
    for (int year = 2007; year <= 2026; ++year) {
      uidriver::Control box = ReadControl(Window(), Box(year));
      states += std::string(box.visible ? "v" : "-") + (box.enabled ? "e" : "-") + (box.checked == 1 ? "x " : "- ");
    }
    return states;
  }
  std::string Written() {
    return RegDump(HKEY_LOCAL_MACHINE, "SOFTWARE\\Autodesk") + RegDump(HKEY_CURRENT_USER, "SOFTWARE\\Autodesk") +
           (Exists("C:\\Tavrin") ? "C:\\Tavrin" : "");
  }
};

TEST_F(SetupDialog, WithoutAutoCadEveryBoxAndInstallAreDisabled) {
  HWND dialog = StartSetup();
  EXPECT_EQ(u8"批打印软件 V2025.06.12", ReadControl(dialog, 1013).text);
  EXPECT_EQ(u8"( 32位 AutoCAD版 )", ReadControl(dialog, 1024).text);
  EXPECT_EQ("C:\\Tavrin", ReadControl(dialog, kTargetPath).text);
  EXPECT_EQ("v-- v-- v-- v-- v-- v-- v-- v-- v-- v-- --- --- --- --- --- --- --- --- --- --- ", Boxes());
  EXPECT_FALSE(ReadControl(dialog, kInstall).enabled);
  for (int hidden : {IDOK, 1014, 1021, 1023}) EXPECT_FALSE(ReadControl(dialog, hidden).visible) << hidden;
}

TEST_F(SetupDialog, FoundReleasesAreTickedAndInstallFollowsTheTicks) {
  ImportCase("several_releases");
  HWND dialog = StartSetup();
  // 2018 is found (so enabled) but hidden and cleared in this edition.
  EXPECT_EQ("v-- vex v-- vex v-- v-- v-- vex v-- v-- --- -e- --- --- --- --- --- --- --- --- ", Boxes());
  for (int year : {2008, 2010, 2014}) uidriver::Click(dialog, Box(year));
  EXPECT_FALSE(ReadControl(dialog, kInstall).enabled) << "the last ticked box was cleared";
  uidriver::Click(dialog, Box(2010));
  EXPECT_TRUE(ReadControl(dialog, kInstall).enabled);
}

// Cancel, Escape, the close box and Enter on a check box end the program at
// once, having written nothing.
TEST_F(SetupDialog, EachWayOutEndsTheProgramWithoutWritingAnything) {
  ImportCase("several_releases");
  const std::string before = Written();
  for (const std::string way : {"cancel", "escape", "close", "enter"}) {
    HWND dialog = StartSetup();
    if (way == "cancel") uidriver::Click(dialog, IDCANCEL);
    if (way == "escape") uidriver::PressKey(dialog, uidriver::Key::Escape, Box(2010));
    if (way == "close") uidriver::Close(dialog);
    if (way == "enter") uidriver::PressKey(dialog, uidriver::Key::Enter, Box(2010));
    EXPECT_EQ(0u, WaitExit()) << way;
    EXPECT_EQ(before, Written()) << way;
  }
}

TEST_F(SetupDialog, The64BitEditionShowsEveryBox) {
  const std::string setup64 = SetupExe64();
  if (setup64.empty()) GTEST_SKIP() << "the 64-bit edition is named only where it runs";
  // AutoCAD 2020 in the 64-bit registry view (regedit of the Windows folder is 64-bit).
  ImportReg("REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Autodesk\\AutoCAD\\R23.1\\P]\n"
            "\"AcadLocation\"=\"C:\\\\A2020\"\n\"ProductName\"=\"AutoCAD 2020\"\n");
  ASSERT_TRUE(CopyFileA(setup64.c_str(), (Folder() + "\\SetUp.exe").c_str(), FALSE));
  HWND dialog = StartSetup();
  EXPECT_EQ(u8"( 64位 AutoCAD版 )", ReadControl(dialog, 1024).text);
  EXPECT_EQ("v-- v-- v-- v-- v-- v-- v-- v-- v-- v-- v-- v-- v-- vex v-- v-- v-- v-- v-- v-- ", Boxes());
}

}  // namespace
