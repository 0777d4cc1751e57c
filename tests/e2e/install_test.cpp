// The whole install end to end: SetUp.exe under Wine, Install clicked, and
// then every registry value and file it wrote checked, for the usual path
// and for the ways an install can go otherwise.
#include "e2e_support.h"

#include <commctrl.h>

#include <set>

#include "registry_helpers.h"
#include "sandbox.h"
#include "test_processes.h"

namespace {

using uidriver::Control;
using uidriver::ReadControl;

constexpr int kInstall = 1022, kTargetPath = 1000, kProgress = 1014;
const char kBoxCaption[] = u8"T-软件安装";
const char kAcadRoot[] = "C:\\e2e-acad";

// The AutoCAD folders of several_releases.reg, by the release they serve.
const struct {
  int year;
  const char* folder;
} kFolders[] = {{2008, "C:\\e2e-acad\\AutoCAD 2008"},
                {2010, "C:\\e2e-acad\\AutoCAD 2010"},
                {2010, "C:\\e2e-acad\\AutoCAD Mechanical 2010"},
                {2014, "C:\\e2e-acad\\AutoCAD 2014"},
                {2018, "C:\\e2e-acad\\AutoCAD 2018"}};

std::string MachineState() {
  return RegDump(HKEY_LOCAL_MACHINE, "SOFTWARE\\Autodesk") + RegDump(HKEY_CURRENT_USER, "SOFTWARE\\Autodesk");
}

std::set<std::string> FilesIn(const std::string& folder) {
  std::set<std::string> names;
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((folder + "\\*.*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.insert(entry.cFileName);
  } while (FindNextFileA(search, &entry));
  FindClose(search);
  return names;
}

std::string AppData() {
  char path[MAX_PATH] = "";
  GetEnvironmentVariableA("APPDATA", path, MAX_PATH);
  return path;
}

class Install : public e2e::SetupTest {
 protected:
  void SetUp() override {
    e2e::SetupTest::SetUp();
    if (IsSkipped()) return;
    RemoveTree("C:\\Tavrin");
    RemoveTree(kAcadRoot);
    RemoveTree(AppData() + "\\Tavrin");
    for (const auto& acad : kFolders) {
      MakeFolders(std::string(acad.folder) + "\\Fonts");
      if (acad.year == 2008) MakeFolders(std::string(acad.folder) + "\\Drv");
    }
    e2e::ImportRegFixture("several_releases.reg");
    for (const char* name : {"TR_RedavIzor2008.ARX", "TR_RedavIzor2010.ARX", "TR_RedavIzor2013.ARX", "ACAD2007P.dll",
                             "ACAD2010P.dll", "ACAD2013P.dll", "itextsharp.dll", "readme.txt", "Tavrin.Ini",
                             "Tavrin_EN.shx", "Tavrin_HZ.shx", "Tavrin.prt5"})
      WriteDataFile(name, std::string("content of ") + name);
    WriteDataFile("docs\\manual.txt", "not copied");
  }
  void TearDown() override {
    e2e::SetupTest::TearDown();
    if (!HasFailure()) {
      RemoveTree("C:\\Tavrin");
      RemoveTree(kAcadRoot);
    }
  }
  // Clicks Install and waits for the finished page.
  void InstallAndWaitForTheFinishedPage() {
    uidriver::Click(Window(), kInstall);
    WaitForFinishedPage();
  }
  void WaitForFinishedPage() {
    for (int tries = 0; tries < 300 && !ReadControl(Window(), IDOK).visible; ++tries) Sleep(100);
    ASSERT_TRUE(ReadControl(Window(), IDOK).visible) << "the finished page did not come";
    Shot("finished");
  }
  uidriver::MessageBoxInfo WaitBox() {
    return uidriver::WaitMessageBox(Program().Id(), kBoxCaption, e2e::kWindowTimeoutMs);
  }
  void Answer(const uidriver::MessageBoxInfo& box, int button) {
    uidriver::AnswerMessageBox(box.hwnd, button);
    uidriver::WaitWindowGone(box.hwnd, e2e::kWindowTimeoutMs);
  }
  // The two registration subkeys of one product key, dumped.
  static std::string Registration(const std::string& productKey, int year) {
    const std::string apps = productKey + "\\Applications\\";
    return RegDump(HKEY_LOCAL_MACHINE, apps + "TR_RedavIzor" + std::to_string(year)) +
           RegDump(HKEY_LOCAL_MACHINE, apps + "Tavrin" + std::to_string(year) + "DLLP");
  }
  static std::string Trusted(const std::string& profileKey) {
    return RegReadString(HKEY_CURRENT_USER, profileKey + "\\Variables", "TRUSTEDPATHS").value_or("<none>");
  }
};

TEST_F(Install, WritesEveryFileAndRegistryValueAndEndsOnTheFinishedPage) {
  HWND dialog = StartSetup();
  const std::string before = MachineState();
  RECT ok = ReadControl(dialog, IDOK).screen, cancel = ReadControl(dialog, IDCANCEL).screen, window;
  GetWindowRect(dialog, &window);
  InstallAndWaitForTheFinishedPage();

  // The payload, flat, without the setup program, the fonts, the driver and
  // the settings file; the settings file below APPDATA.
  const std::string target = "C:\\Tavrin\\T-RedavIzor";
  EXPECT_EQ((std::set<std::string>{"ACAD2007P.dll", "ACAD2010P.dll", "ACAD2013P.dll", "TR_RedavIzor2008.ARX",
                                   "TR_RedavIzor2010.ARX", "TR_RedavIzor2013.ARX", "itextsharp.dll", "readme.txt"}),
            FilesIn(target));
  EXPECT_FALSE(PathExists(target + "\\docs"));
  EXPECT_EQ("content of Tavrin.Ini", ReadTestFile(AppData() + "\\Tavrin\\Tavrin.Ini"));

  // Support files in every folder of the ticked releases (2018 is hidden in
  // this edition, so not ticked); the plot driver for 2008 only.
  for (const auto& acad : kFolders) {
    const std::string folder = acad.folder;
    std::set<std::string> expected, fonts;
    if (acad.year != 2018) {
      expected = {"ACAD2007P.dll", "ACAD2010P.dll", "ACAD2013P.dll", "itextsharp.dll"};
      fonts = {"Tavrin_EN.shx", "Tavrin_HZ.shx"};
    }
    EXPECT_EQ(expected, FilesIn(folder)) << folder;
    EXPECT_EQ(fonts, FilesIn(folder + "\\Fonts")) << folder;
  }
  EXPECT_EQ("content of Tavrin.prt5", ReadTestFile("C:\\e2e-acad\\AutoCAD 2008\\Drv\\pdfplot9.hdi"));

  // Load registration under every product key of the ticked releases.
  const std::string native = "SOFTWARE\\Autodesk\\AutoCAD\\", wow = "SOFTWARE\\Wow6432Node\\Autodesk\\AutoCAD\\";
  for (const std::string& root : {wow, native}) {
    const std::string key = root + "R17.1\\ACAD-6001:804";
    EXPECT_EQ(key + "\\Applications\\TR_RedavIzor2008\n" + key +
                  "\\Applications\\TR_RedavIzor2008: LOADCTRLS = dword:2\n" + key +
                  "\\Applications\\TR_RedavIzor2008: LOADER = sz:C:\\Tavrin\\T-RedavIzor\\TR_RedavIzor2008.ARX\n" +
                  key + "\\Applications\\Tavrin2008DLLP\n" + key +
                  "\\Applications\\Tavrin2008DLLP: LOADCTRLS = dword:2\n" + key +
                  "\\Applications\\Tavrin2008DLLP: LOADER = sz:C:\\e2e-acad\\AutoCAD 2008\\ACAD2007P.dll\n" + key +
                  "\\Applications\\Tavrin2008DLLP: MANAGED = dword:1\n",
              Registration(key, 2008));
  }
  const std::string mechanical = native + "R18.0\\ACAD-8004:804";
  EXPECT_EQ("C:\\e2e-acad\\AutoCAD Mechanical 2010\\ACAD2010P.dll",
            RegReadString(HKEY_LOCAL_MACHINE, mechanical + "\\Applications\\Tavrin2010DLLP", "LOADER"));
  const std::string acad2010 = native + "R18.0\\ACAD-8001:804\\Applications\\TR_RedavIzor2010";
  std::optional<RegValue> loader = RegRead(HKEY_LOCAL_MACHINE, acad2010, "LOADER");
  ASSERT_TRUE(loader);
  EXPECT_EQ(std::string("C:\\Tavrin\\T-RedavIzor\\TR_RedavIzor2010.ARX") + '\0', loader->bytes);
  EXPECT_FALSE(RegRead(HKEY_LOCAL_MACHINE, acad2010, "Stale")) << "the subkey is written afresh";
  EXPECT_EQ("C:\\e2e-acad\\AutoCAD 2014\\ACAD2013P.dll",
            RegReadString(HKEY_LOCAL_MACHINE, native + "R19.1\\ACAD-D001:804\\Applications\\Tavrin2014DLLP", "LOADER"));
  EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, native + "R22.0\\ACAD-1001:804\\Applications"));

  // The target in every profile of every product of the current user.
  const std::string user = "SOFTWARE\\Autodesk\\AutoCAD\\";
  EXPECT_EQ("D:\\TOOLS;;C:\\TAVRIN\\T-REDAVIZOR", Trusted(user + "R18.0\\ACAD-8001:804\\Profiles\\<<未命名配置>>"));
  EXPECT_EQ("C:\\Tavrin\\T-RedavIzor", Trusted(user + "R18.0\\ACAD-8001:804\\Profiles\\Drafting"));
  EXPECT_EQ("C:\\Tavrin\\T-RedavIzor", Trusted(user + "R18.0\\ACAD-8004:804\\Profiles\\<<未命名配置>>"));
  EXPECT_EQ("C:\\TAVRIN\\T-REDAVIZOR2;E:\\PLOT", Trusted(user + "R19.1\\ACAD-D001:804\\Profiles\\<<未命名配置>>"));
  EXPECT_EQ("C:\\Tavrin\\T-RedavIzor", Trusted(user + "R99.0\\ACAD-X001:804\\Profiles\\Future"));

  // The finished page: exactly these controls are shown, the bar is full,
  // and the window lost the height between Cancel's and OK's bottom edges.
  std::set<int> visible;
  for (const Control& control : uidriver::ListControls(dialog))
    if (control.visible && control.id != -1 && control.id != 0xFFFF) visible.insert(control.id);
  EXPECT_EQ((std::set<int>{IDOK, 1013, 1021, 1023, 1024}), visible);
  EXPECT_EQ(50, SendMessageW(ReadControl(dialog, kProgress).hwnd, PBM_GETPOS, 0, 0));
  RECT after;
  GetWindowRect(dialog, &after);
  EXPECT_EQ(window.left, after.left);
  EXPECT_EQ(window.top, after.top);
  EXPECT_EQ(window.right, after.right);
  EXPECT_EQ(window.bottom - (cancel.bottom - ok.bottom), after.bottom);
  EXPECT_GE(ReadControl(dialog, IDCANCEL).screen.top, after.bottom) << "Cancel lies outside the window";

  uidriver::Click(dialog, IDOK);
  EXPECT_EQ(0u, WaitExit());
  EXPECT_NE(before, MachineState());
}

// The typed folder loses one trailing backslash, never more.
class InstallTarget : public Install, public testing::WithParamInterface<std::pair<std::string, std::string>> {};

TEST_P(InstallTarget, GetsTheSuffixAfterOneTrailingBackslashIsDropped) {
  const std::string typed = GetParam().first, loader = GetParam().second;
  if (typed[0] == 'D' && !PathExists("D:\\")) GTEST_SKIP() << "no drive D: in this prefix";
  RemoveTree("D:\\T-RedavIzor");
  RemoveTree("C:\\e2e-target");
  HWND dialog = StartSetup();
  uidriver::SetText(dialog, kTargetPath, typed);
  InstallAndWaitForTheFinishedPage();
  EXPECT_EQ(loader, RegReadString(HKEY_LOCAL_MACHINE,
                                  "SOFTWARE\\Autodesk\\AutoCAD\\R18.0\\ACAD-8001:804\\Applications\\TR_RedavIzor2010",
                                  "LOADER"));
  const std::string folder = loader.substr(0, loader.rfind('\\'));
  EXPECT_EQ("content of readme.txt", ReadTestFile(folder + "\\readme.txt"));
  RemoveTree("D:\\T-RedavIzor");
  RemoveTree("C:\\e2e-target");
}

INSTANTIATE_TEST_SUITE_P(
    Typed, InstallTarget,
    testing::Values(std::make_pair(std::string("D:\\"), std::string("D:\\T-RedavIzor\\TR_RedavIzor2010.ARX")),
                    std::make_pair(std::string("C:\\e2e-target\\"),
                                   std::string("C:\\e2e-target\\T-RedavIzor\\TR_RedavIzor2010.ARX")),
                    std::make_pair(std::string("C:\\e2e-target\\\\"),
                                   std::string("C:\\e2e-target\\\\T-RedavIzor\\TR_RedavIzor2010.ARX"))));

TEST_F(Install, RunningAutoCadIsWarnedAboutOnceAndTheNextClickInstalls) {
  TestProcess acad(Folder(), "acad.exe");
  const std::string before = MachineState();
  HWND dialog = StartSetup();
  uidriver::Click(dialog, kInstall);
  uidriver::MessageBoxInfo box = WaitBox();
  Shot("warning", nullptr);
  EXPECT_EQ(u8"请关闭AutoCAD后再进行安装 !", box.text);
  Answer(box, IDOK);
  EXPECT_EQ(before, MachineState());
  EXPECT_FALSE(PathExists("C:\\Tavrin"));
  EXPECT_TRUE(ReadControl(dialog, kTargetPath).visible) << "the dialog is still choosing";
  InstallAndWaitForTheFinishedPage();
  EXPECT_TRUE(PathExists("C:\\Tavrin\\T-RedavIzor\\readme.txt"));
}

TEST_F(Install, MissingPayloadIsReportedAndTheProgramEndsWithNothingRegistered) {
  RemoveTree(Folder() + "\\Data");
  const std::string before = MachineState();
  HWND dialog = StartSetup();
  uidriver::Click(dialog, kInstall);
  uidriver::MessageBoxInfo box = WaitBox();
  EXPECT_EQ(u8"未找到安装所需的Data文件夹 !\n\n可能安装文件下载后没有解压，\n\n请解压后再执行SetUp.exe !", box.text);
  Answer(box, IDOK);
  EXPECT_EQ(0u, WaitExit());
  EXPECT_EQ(before, MachineState());
}

// A payload file whose destination AutoCAD holds open: Abort ends the
// program with nothing registered; Ignore goes on and finishes.
class HeldDestination : public Install, public testing::WithParamInterface<int> {};

TEST_P(HeldDestination, AskAndFollowTheAnswer) {
  MakeFolders("C:\\Tavrin\\T-RedavIzor");
  const std::string held = "C:\\Tavrin\\T-RedavIzor\\readme.txt";
  TestProcess acad(Folder(), "holder.exe", held);
  const std::string before = MachineState();
  HWND dialog = StartSetup();
  uidriver::Click(dialog, kInstall);
  uidriver::MessageBoxInfo box = WaitBox();
  Shot("copy-failed", nullptr);
  EXPECT_EQ(u8"拷贝文件 " + held + u8" 失败，可能原因如下：\n\n1、AutoCAD未关闭\n\n2、系统权限未开放，请以管理者权限登陆系统",
            box.text);
  EXPECT_EQ(3u, box.buttons.size());
  Answer(box, GetParam());
  if (GetParam() == IDABORT) {
    EXPECT_EQ(0u, WaitExit());
    EXPECT_EQ(before, MachineState());
  } else {
    WaitForFinishedPage();
    EXPECT_NE(before, MachineState());
    EXPECT_TRUE(PathExists("C:\\Tavrin\\T-RedavIzor\\itextsharp.dll"));
  }
}

INSTANTIATE_TEST_SUITE_P(Answers, HeldDestination, testing::Values(IDABORT, IDIGNORE));

TEST_F(Install, EmptyTargetIsRefusedAndTheDialogStaysReady) {
  const std::string before = MachineState();
  HWND dialog = StartSetup();
  uidriver::SetText(dialog, kTargetPath, "");
  uidriver::Click(dialog, kInstall);
  uidriver::MessageBoxInfo box = WaitBox();
  EXPECT_EQ(u8"请选择安装路径：", box.text);
  Answer(box, IDOK);
  EXPECT_EQ(before, MachineState());
  EXPECT_FALSE(PathExists("C:\\Tavrin"));
  EXPECT_TRUE(ReadControl(dialog, kTargetPath).visible);
  EXPECT_FALSE(ReadControl(dialog, kProgress).visible);
  EXPECT_TRUE(ReadControl(dialog, kInstall).enabled);
}

}  // namespace
