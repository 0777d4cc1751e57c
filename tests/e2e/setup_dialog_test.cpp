// The setup dialog end to end: SetUp.exe under Wine shows, enables, ticks
// and hides exactly the release boxes of the machine it finds, and leaving
// it in any way writes nothing.
#include "e2e_support.h"
#include "registry_helpers.h"
#include "sandbox.h"

namespace {

using uidriver::Control;
using uidriver::ReadControl;

// The release check boxes, 2007 first (2010 and 2011 swap their ids).
const int kReleaseBoxes[20] = {1018, 1019, 1020, 1027, 1026, 1028, 1029, 1030, 1031, 1032,
                               1033, 1034, 1035, 1036, 1037, 1038, 1039, 1040, 1041, 1042};
constexpr int kInstall = 1022, kTargetPath = 1000, kTitle = 1013, kEdition = 1024;

int Box(int year) { return kReleaseBoxes[year - 2007]; }

// The 64-bit edition's SetUp.exe, which the test script names for the run in
// the 64-bit prefix; empty otherwise.
std::string Setup64Exe() {
  char path[MAX_PATH] = "";
  DWORD length = GetEnvironmentVariableA("E2E_SETUP64_EXE", path, MAX_PATH);
  return length > 0 && length < MAX_PATH ? uidriver::WindowsPath(path) : std::string();
}

// What the program could have written: the AutoCAD keys of both roots and
// the default target folder.
std::string WrittenState() {
  return RegDump(HKEY_LOCAL_MACHINE, "SOFTWARE\\Autodesk") + RegDump(HKEY_CURRENT_USER, "SOFTWARE\\Autodesk") +
         (PathExists("C:\\Tavrin") ? "C:\\Tavrin exists" : "");
}

class SetupDialog : public e2e::SetupTest {
 protected:
  void SetUp() override {
    e2e::SetupTest::SetUp();
    RemoveTree("C:\\Tavrin");
  }
  // Each release's box as (visible, enabled, checked), 2007 first.
  std::string Boxes() {
    std::string states;
    for (int year = 2007; year <= 2026; ++year) {
      Control box = ReadControl(Window(), Box(year));
      states += std::to_string(year) + ":" + (box.visible ? "v" : "-") + (box.enabled ? "e" : "-") +
                (box.checked == 1 ? "x" : "-") + " ";
    }
    return states;
  }
};

TEST_F(SetupDialog, WithoutAutoCadEveryBoxIsDisabledAndInstallWithThem) {
  HWND dialog = StartSetup();
  EXPECT_EQ(e2e::kSetupCaption, uidriver::WindowCaption(dialog));
  EXPECT_EQ(u8"批打印软件 V2025.06.12", ReadControl(dialog, kTitle).text);
  EXPECT_EQ(u8"( 32位 AutoCAD版 )", ReadControl(dialog, kEdition).text);
  EXPECT_EQ("C:\\Tavrin", ReadControl(dialog, kTargetPath).text);
  EXPECT_EQ("2007:v-- 2008:v-- 2009:v-- 2010:v-- 2011:v-- 2012:v-- 2013:v-- 2014:v-- 2015:v-- 2016:v-- "
            "2017:--- 2018:--- 2019:--- 2020:--- 2021:--- 2022:--- 2023:--- 2024:--- 2025:--- 2026:--- ",
            Boxes());
  EXPECT_FALSE(ReadControl(dialog, kInstall).enabled);
  for (int hidden : {IDOK, 1014, 1021, 1023}) EXPECT_FALSE(ReadControl(dialog, hidden).visible) << hidden;
}

TEST_F(SetupDialog, FoundReleasesAreTickedAndThe32BitBuildHidesTheLaterOnes) {
  e2e::ImportRegFixture("several_releases.reg");
  HWND dialog = StartSetup();
  // 2008, 2010 and 2014 found; 2018 found too (so enabled), but hidden and
  // cleared by this edition.
  EXPECT_EQ("2007:v-- 2008:vex 2009:v-- 2010:vex 2011:v-- 2012:v-- 2013:v-- 2014:vex 2015:v-- 2016:v-- "
            "2017:--- 2018:-e- 2019:--- 2020:--- 2021:--- 2022:--- 2023:--- 2024:--- 2025:--- 2026:--- ",
            Boxes());
  EXPECT_TRUE(ReadControl(dialog, kInstall).enabled);
}

TEST_F(SetupDialog, InstallFollowsTheTickedBoxes) {
  e2e::ImportRegFixture("several_releases.reg");
  HWND dialog = StartSetup();
  uidriver::Click(dialog, Box(2008));
  uidriver::Click(dialog, Box(2010));
  EXPECT_TRUE(ReadControl(dialog, kInstall).enabled);
  uidriver::Click(dialog, Box(2014));
  EXPECT_FALSE(ReadControl(dialog, kInstall).enabled) << "the last ticked box was cleared";
  Shot("none-ticked");
  uidriver::Click(dialog, Box(2010));
  EXPECT_TRUE(ReadControl(dialog, kInstall).enabled);
  EXPECT_EQ(1, ReadControl(dialog, Box(2010)).checked);
}

// Cancel, Escape, the close box and Enter (on a check box) all end the
// program at once, having written nothing.
class LeavingTheDialog : public SetupDialog, public testing::WithParamInterface<std::string> {};

TEST_P(LeavingTheDialog, EndsTheProgramWithoutWritingAnything) {
  e2e::ImportRegFixture("several_releases.reg");
  const std::string before = WrittenState();
  HWND dialog = StartSetup();
  const std::string way = GetParam();
  if (way == "cancel") uidriver::Click(dialog, IDCANCEL);
  if (way == "escape") uidriver::PressKey(dialog, uidriver::Key::Escape, Box(2010));
  if (way == "close") uidriver::Close(dialog);
  if (way == "enter") uidriver::PressKey(dialog, uidriver::Key::Enter, Box(2010));
  EXPECT_EQ(0u, WaitExit());
  EXPECT_EQ(before, WrittenState());
}

INSTANTIATE_TEST_SUITE_P(Ways, LeavingTheDialog, testing::Values("cancel", "escape", "close", "enter"));

// In a 64-bit Windows: a 32-bit program reads the 32-bit registry view, in
// which both AutoCAD roots name the same keys of the 32-bit AutoCADs; the
// 64-bit edition reads the 64-bit AutoCADs below its own root and the
// 32-bit ones below Wow6432Node. These run in the 64-bit prefix only. The
// products are written into their views directly: Wine's regedit does not
// place keys named with Wow6432Node into the 32-bit view.
class SetupDialogWow64 : public SetupDialog {
 protected:
  void SetUp() override {
    if (!IsWow64()) GTEST_SKIP() << "needs a 64-bit prefix";
    SetupDialog::SetUp();
    WriteProduct(KEY_WOW64_32KEY, L"R17.1\\ACAD-6001:804", L"AutoCAD 2008");  // 32-bit AutoCADs
    WriteProduct(KEY_WOW64_32KEY, L"R19.1\\ACAD-D001:804", L"AutoCAD 2014");
    WriteProduct(KEY_WOW64_64KEY, L"R18.0\\ACAD-8001:804", L"AutoCAD 2010");  // 64-bit AutoCADs
    WriteProduct(KEY_WOW64_64KEY, L"R23.1\\ACAD-3001:804", L"AutoCAD 2020");
  }
  static void WriteProduct(REGSAM view, const std::wstring& key, const std::wstring& product) {
    HKEY handle = nullptr;
    std::wstring path = L"SOFTWARE\\Autodesk\\AutoCAD\\" + key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view,
                                             nullptr, &handle, nullptr));
    std::wstring folder = L"C:\\e2e-acad\\" + product, name = product + L" - Simplified Chinese";
    RegSetValueExW(handle, L"AcadLocation", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                   static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
    RegSetValueExW(handle, L"ProductName", 0, REG_SZ, reinterpret_cast<const BYTE*>(name.c_str()),
                   static_cast<DWORD>((name.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(handle);
  }
  static bool IsWow64() {
    BOOL wow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
  }
};

TEST_F(SetupDialogWow64, The32BitEditionSeesOnlyThe32BitAutoCads) {
  StartSetup();
  EXPECT_EQ("2007:v-- 2008:vex 2009:v-- 2010:v-- 2011:v-- 2012:v-- 2013:v-- 2014:vex 2015:v-- 2016:v-- "
            "2017:--- 2018:--- 2019:--- 2020:--- 2021:--- 2022:--- 2023:--- 2024:--- 2025:--- 2026:--- ",
            Boxes());
}

TEST_F(SetupDialogWow64, The64BitEditionShowsAllBoxesAndTicksWhatItFinds) {
  const std::string setup64 = Setup64Exe();
  if (setup64.empty()) GTEST_SKIP() << "no 64-bit edition in this run";
  ASSERT_TRUE(CopyFileA(setup64.c_str(), (Folder() + "\\SetUp.exe").c_str(), FALSE));
  HWND dialog = StartSetup();
  EXPECT_EQ(u8"( 64位 AutoCAD版 )", ReadControl(dialog, kEdition).text);
  // 2010 and 2020 below the 64-bit root, 2008 below Wow6432Node; the 32-bit
  // 2014 there is not looked for (that root is searched for 2007 and 2008).
  EXPECT_EQ("2007:v-- 2008:vex 2009:v-- 2010:vex 2011:v-- 2012:v-- 2013:v-- 2014:v-- 2015:v-- 2016:v-- "
            "2017:v-- 2018:v-- 2019:v-- 2020:vex 2021:v-- 2022:v-- 2023:v-- 2024:v-- 2025:v-- 2026:v-- ",
            Boxes());
  Shot("edition64");
}

}  // namespace
