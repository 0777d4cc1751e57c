// The setup dialog shows, enables, ticks and hides exactly the release boxes
// of the machine it finds, and leaving it in any way writes nothing.
#include "setup_test.h"

namespace {

using SetupDialog = SetupTest;

std::string Written() {
  return RegDump(HKEY_LOCAL_MACHINE, "SOFTWARE\\Autodesk") + RegDump(HKEY_CURRENT_USER, "SOFTWARE\\Autodesk") +
         (Exists("C:\\Tavrin") ? "C:\\Tavrin" : "");
}

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
// once, having written nothing; so does Install beside a payload of the other
// edition, after a box that says so.
TEST_F(SetupDialog, EachWayOutEndsTheProgramWithoutWritingAnything) {
  ImportCase("several_releases");
  const std::string before = Written();
  for (const std::string way : {"cancel", "escape", "close", "enter", "other edition"}) {
    HWND dialog = StartSetup();
    if (way == "cancel") uidriver::Click(dialog, IDCANCEL);
    if (way == "escape") uidriver::PressKey(dialog, uidriver::Key::Escape, Box(2010));
    if (way == "close") uidriver::Close(dialog);
    if (way == "enter") uidriver::PressKey(dialog, uidriver::Key::Enter, Box(2010));
    if (way == "other edition" && CopyFileA(EditionModule(64).c_str(), machine.Path("Data\\TR_RedavIzor2010.ARX").c_str(), FALSE)) {
      uidriver::Click(dialog, kInstall);
      const uidriver::MessageBoxInfo box = WaitBox();
      EXPECT_EQ(u8"Data文件夹中的插件属于64位AutoCAD版，应使用64位AutoCAD版的SetUp.exe安装。\n\n本安装程序为32位AutoCAD版，不能安装这些插件 !", box.text);
      Answer(box, IDOK);
    }
    EXPECT_EQ(0u, WaitExit()) << way;
    EXPECT_EQ(before, Written()) << way;
  }
}

// The 64-bit edition (a 64-bit prefix only) finds the 64-bit AutoCADs, in the
// native view, and shows every box.
using Win64 = SetupTest;

TEST_F(Win64, The64BitEditionShowsEveryBox) {
  ImportCase("wow64");
  ASSERT_TRUE(CopyFileA(SetupExe64().c_str(), (machine.Path("SetUp.exe")).c_str(), FALSE)) << "E2E_SETUP64_EXE";
  HWND dialog = StartSetup();
  EXPECT_EQ(u8"( 64位 AutoCAD版 )", ReadControl(dialog, 1024).text);
  EXPECT_EQ("v-- v-- v-- v-- v-- v-- v-- v-- v-- vex v-- v-- v-- vex v-- v-- v-- v-- v-- v-- ", Boxes());
}

}  // namespace
