// The install through the dialog's own buttons: the golden scenario against
// its expected outcome, typed folders, a running AutoCAD, what is told of an
// incomplete install, a reinstall, and both editions on one machine.
#include <commctrl.h>

#include <set>

#include "setup_test.h"

namespace {

// Every file below folder with its content, a line each.
std::string Files(const std::string& folder) {
  std::string out;
  for (const auto& [path, content] : Tree(folder)) out += content == "<folder>" ? "" : path + ": " + content + "\n";
  return out;
}

class Install : public SetupTest {
 protected:
  void SetUp() override {
    SetupTest::SetUp();
    for (const char* folder : {"C:\\Tavrin", "C:\\e2e-acad", "C:\\e2e-target", "C:\\MyCAD", "C:\\Tavrin64", "D:\\T-RedavIzor", "D:\\e2e-target", "D:\\pkg"})
      RemoveTree(folder);
    MakeGoldenFolders(machine.Path("Data"));
  }
  // What an install wrote: the AutoCAD keys, then the files of the target,
  // the AutoCAD folders and the settings folder.
  std::string Outcome(const std::vector<std::string>& acadFolders = {"C:\\e2e-acad"}) {
    std::string out = AcadRegistry() + Files("C:\\Tavrin");
    for (const std::string& folder : acadFolders) out += Files(folder);
    return out + "%APPDATA%" + Files(machine.Path("Tavrin")).substr(machine.Root().size());
  }
  void WaitForFinishedPage() {
    for (int tries = 0; tries < 300 && !ReadControl(Window(), IDOK).visible; ++tries) Sleep(100);
    ASSERT_TRUE(ReadControl(Window(), IDOK).visible) << "the finished page did not come";
  }
  static std::string Read2010(const std::string& key, const std::string& name) {
    return RegReadString(key == "LOADER" ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER,
                         "SOFTWARE\\Autodesk\\AutoCAD\\R18.0\\ACAD-8001:804\\" + name, key).value_or("<none>");
  }
  static std::string Loader2010() { return Read2010("LOADER", "Applications\\TR_RedavIzor2010"); }
};

TEST_F(Install, GoldenScenarioWritesExactlyItsExpectedOutcome) {
  ImportCase("several_releases");
  HWND dialog = StartSetup();
  RECT work, window, after;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  GetWindowRect(dialog, &window);
  EXPECT_LE(abs(window.left + window.right - work.left - work.right), 2) << "the dialog opens centred";
  EXPECT_LE(abs(window.top + window.bottom - work.top - work.bottom), 2);
  const RECT ok = ReadControl(dialog, IDOK).screen, cancel = ReadControl(dialog, IDCANCEL).screen;
  uidriver::Click(dialog, kInstall);
  WaitForFinishedPage();

  EXPECT_EQ(CaseFile("several_releases.expected.txt"), Outcome());

  // The finished page: exactly these controls, the bar full, and the window
  // shorter by the distance between Cancel's and OK's bottom edges.
  std::set<int> visible;
  for (const uidriver::Control& control : uidriver::ListControls(dialog))
    if (control.visible && control.id != -1 && control.id != 0xFFFF) visible.insert(control.id);
  EXPECT_EQ((std::set<int>{IDOK, 1013, 1021, 1023, 1024}), visible);
  EXPECT_EQ(50, SendMessageW(ReadControl(dialog, kProgress).hwnd, PBM_GETPOS, 0, 0));
  GetWindowRect(dialog, &after);
  EXPECT_EQ((std::vector<LONG>{window.left, window.top, window.right, window.bottom - (cancel.bottom - ok.bottom)}),
            (std::vector<LONG>{after.left, after.top, after.right, after.bottom}));
  uidriver::Click(dialog, IDOK);
  EXPECT_EQ(0u, WaitExit());
}

// A folder typed into the path box, SetUp.exe started from C: or from D:\pkg
// (as Explorer starts it, in its own folder): one trailing backslash goes,
// the folder becomes the full path Windows makes of it, with every missing
// level, and AutoCAD is given that full path; one that cannot be made, or
// whose files would not fit below it, is refused once, before anything is
// written, after which the user corrects it and installs.
struct Typed {
  const char* from;       // the folder SetUp.exe starts from ("": the test's on C:)
  const char* refused;    // typed first and refused, or nullptr
  const char* why;        // the refusal's first words (the other edition's: that folder holds its modules)
  const char* typed;      // UTF-8
  const char* installed;  // the full path of the target
};

class TypedTarget : public Install, public testing::WithParamInterface<Typed> {};

// A name that, below the folder of SetUp.exe, makes a path past the 260-byte
// buffer; a folder of 241 characters, which fits, but its files do not.
const std::string kTooLong(240, 'x'), kFilesTooLong = "C:\\" + std::string(238, 'y');
const char kNotMade[] = u8"无法创建安装文件夹：", kPathTooLong[] = u8"安装文件夹的路径太长：",
           kOtherEdition[] = u8"文件夹\n\nC:\\e2e-target\\x64\\T-RedavIzor\n\n中已安装64位AutoCAD版的插件";

TEST_P(TypedTarget, InstallsIntoTheFullPathOfWhatWasTyped) {
  ImportCase("several_releases");
  const std::string from = GetParam().from;
  if (!from.empty()) MakeGoldenFolders(from + "\\Data");
  HWND dialog = StartSetup(from);
  if (GetParam().refused != nullptr) {
    const std::string refused = Ansi(GetParam().refused);
    if (GetParam().why == std::string(kOtherEdition)) {
      MakeFolders(refused + "\\T-RedavIzor");
      CopyFileA(EditionModule(64).c_str(), (refused + "\\T-RedavIzor\\TR_RedavIzor2010.ARX").c_str(), FALSE);
    }
    const auto held = Tree(refused);
    uidriver::SetText(dialog, kTargetPath, GetParam().refused);
    uidriver::Click(dialog, kInstall);
    uidriver::MessageBoxInfo box = WaitBox();
    EXPECT_TRUE(box.text.find(GetParam().why) == 0 && box.text.find(GetParam().refused) != std::string::npos) << box.text;
    Answer(box, box.buttons.at(0).first);
    EXPECT_EQ("<none>", Loader2010());
    EXPECT_EQ(held, Tree(refused)) << "nothing is made or changed in a folder refused";
    EXPECT_EQ(GetParam().refused, ReadControl(dialog, kTargetPath).text) << "the path box as the user left it";
  }
  uidriver::SetText(dialog, kTargetPath, GetParam().typed);
  uidriver::Click(dialog, kInstall);
  WaitForFinishedPage();
  const std::string folder = Ansi(GetParam().installed);
  EXPECT_EQ(folder + "\\TR_RedavIzor2010.ARX", Loader2010());
  EXPECT_EQ(folder, Read2010("TRUSTEDPATHS", "Profiles\\Drafting\\Variables"));
  EXPECT_EQ("content of readme.txt", ReadFile(folder + "\\readme.txt"));
}

// 嘰 ends in a backslash byte in code page 936.
INSTANTIATE_TEST_SUITE_P(Folders, TypedTarget,
                         testing::Values(Typed{"", kTooLong.c_str(), kPathTooLong, "D:\\", "D:\\T-RedavIzor"},
                                         Typed{"", "C:\\e2e-target\\x64", kOtherEdition, "C:\\e2e-target\\\\", "C:\\e2e-target\\T-RedavIzor"},
                                         Typed{"", "Q:\\x", kNotMade, u8"C:/e2e-target/软件嘰/嘰", u8"C:\\e2e-target\\软件嘰\\嘰\\T-RedavIzor"},
                                         Typed{"D:\\pkg", kFilesTooLong.c_str(), kPathTooLong, "\\e2e-target", "D:\\e2e-target\\T-RedavIzor"},
                                         Typed{"D:\\pkg", nullptr, nullptr, "MyPlugin\\x", "D:\\pkg\\MyPlugin\\x\\T-RedavIzor"}));

// AutoCAD runs and holds a file of the target: the warning comes once, the
// next click installs until the held file cannot be copied, and Abort ends
// the program with nothing registered.
TEST_F(Install, RunningAutoCadIsWarnedAboutOnceAndAnAbortedCopyEndsTheProgram) {
  ImportCase("several_releases");
  TestProcess acad(machine.Root(), "acad.exe");
  MakeFolders("C:\\Tavrin\\T-RedavIzor");
  HANDLE held = CreateFileA("C:\\Tavrin\\T-RedavIzor\\readme.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  HWND dialog = StartSetup();
  uidriver::Click(dialog, kInstall);
  uidriver::MessageBoxInfo box = WaitBox();
  EXPECT_EQ(u8"请关闭AutoCAD后再进行安装 !", box.text);
  Answer(box, IDOK);
  EXPECT_EQ(std::vector<std::string>{"readme.txt"}, Names("C:\\Tavrin\\T-RedavIzor")) << "nothing was copied";
  uidriver::Click(dialog, kInstall);
  box = WaitBox();
  EXPECT_EQ(3u, box.buttons.size()) << box.text;
  Answer(box, IDABORT);
  EXPECT_EQ(0u, WaitExit());
  CloseHandle(held);
  EXPECT_EQ("<none>", Loader2010());
}

// Which Windows Wine tells the programs started until the test ends (HKCU\Software\Wine, Version).
struct WineVersion {
  explicit WineVersion(const char* v) { RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\Wine", "Version", REG_SZ, v, strlen(v) + 1); }
  ~WineVersion() { RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\Wine", "Version"); }
};

// An install that cannot complete a release says so once, at the end, with
// why: an AutoCAD folder the user may not write, under each Windows (from
// Vista on it offers to run as administrator), or a module AutoCAD holds
// open (elevating would not help). After OK, or No, the finished page comes;
// after Yes, this setup ends and the one started again as administrator
// (Wine starts it as the same user) opens with the releases and the folder chosen.
struct Incomplete {
  const char* name;
  const char* windows;  // as Wine is told
  const char* machine;  // the case
  const char* held;     // a file held open without sharing, or nullptr
  const char* notice;   // after "以下AutoCAD版本未能完整安装："
  int answer;
};
const char kWithoutRights[] = u8"\n\nAutoCAD2014\n\n当前用户没有写入AutoCAD安装目录或注册表的权限。"
                              u8"请关闭AutoCAD，右键单击SetUp.exe，选择“以管理员身份运行”，然后重新安装。";
const std::string kOfferToElevate = kWithoutRights + std::string(u8"\n\n是否现在以管理员身份重新运行安装程序？");

class Incompletely : public Install, public testing::WithParamInterface<Incomplete> {};

TEST_P(Incompletely, InstalledReleasesAreToldWithWhyAtTheEnd) {
  const bool xp = GetParam().windows == std::string("winxp"), yes = GetParam().answer == IDYES;  // xp: winxp64 in a 64-bit prefix
  WineVersion windows(xp && Exists("C:\\windows\\syswow64") ? "winxp64" : GetParam().windows);
  ImportCase(GetParam().machine);
  WriteFile("C:\\e2e-acad\\AutoCAD 2010\\ACAD2010P.dll", "an older plug-in's");
  HANDLE held = GetParam().held ? CreateFileA(GetParam().held, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr) : nullptr;
  HWND dialog = StartSetup();
  if (yes) {
    uidriver::Click(dialog, Box(2010));
    uidriver::SetText(dialog, kTargetPath, "C:\\MyCAD");
  }
  uidriver::Click(dialog, kInstall);
  uidriver::MessageBoxInfo box = WaitBox();
  EXPECT_EQ(u8"以下AutoCAD版本未能完整安装：" + std::string(GetParam().notice), box.text);
  ASSERT_EQ(GetParam().answer == IDOK ? 1u : 2u, box.buttons.size());
  Answer(box, GetParam().answer);
  if (yes) {
    dialog = WaitRestarted();
    EXPECT_EQ("C:\\MyCAD", ReadControl(dialog, kTargetPath).text);
    EXPECT_EQ("v-- v-- v-- ve- v-- v-- v-- vex v-- v-- --- --- --- --- --- --- --- --- --- --- ", Boxes());
    uidriver::Click(dialog, kInstall);
    Answer(WaitBox(), IDNO);  // still without the rights
  }
  WaitForFinishedPage();
  if (held) CloseHandle(held);
  EXPECT_EQ(GetParam().held || yes ? "an older plug-in's" : "content of ACAD2010P.dll", ReadFile("C:\\e2e-acad\\AutoCAD 2010\\ACAD2010P.dll"));
  if (yes) { EXPECT_EQ("<none>", Loader2010()) << "the release the user left out"; }
}

INSTANTIATE_TEST_SUITE_P(
    Why, Incompletely,
    testing::Values(Incomplete{"WithoutRightsOnXp", "winxp", "locked_2014", nullptr, kWithoutRights, IDOK},
                    Incomplete{"WithoutRights", "win10", "locked_2014", nullptr, kOfferToElevate.c_str(), IDNO},
                    Incomplete{"WithoutRightsYes", "win10", "locked_2014", nullptr, kOfferToElevate.c_str(), IDYES},
                    Incomplete{"ModuleInUse", "win10", "several_releases", "C:\\e2e-acad\\AutoCAD 2010\\ACAD2010P.dll",
                               u8"\n\nAutoCAD2010\n\nAutoCAD正在使用需要更新的文件。请关闭AutoCAD，然后重新运行SetUp.exe。", IDOK}),
    [](const auto& row) { return std::string(row.param.name); });

// A reinstall: a payload of more files than the progress bar has steps, the
// user's settings and AutoCAD 2008's own plot driver in place; then again,
// started from the folder it installed into. Every file is copied, no box
// comes, and what was replaced is kept, once.
TEST_F(Install, AReinstallCopiesEveryFileAndKeepsWhatItReplaces) {
  ImportCase("several_releases");
  for (int i = 0; i < 120; ++i) WriteFile(machine.Path("Data\\more" + std::to_string(i) + ".txt"));
  MakeFolders(machine.Path("Tavrin"));
  WriteFile(machine.Path("Tavrin\\Tavrin.Ini"), "the user's settings");
  WriteFile("C:\\e2e-acad\\AutoCAD 2008\\Drv\\pdfplot9.hdi", "AutoCAD's own");
  for (const std::string& from : {machine.Root(), std::string("C:\\Tavrin\\T-RedavIzor")}) {
    uidriver::Click(StartSetup(from), kInstall);
    WaitForFinishedPage();
    EXPECT_EQ(from == machine.Root() ? 128u : 130u, Names("C:\\Tavrin\\T-RedavIzor").size()) << "every file (and SetUp.exe)";
    EXPECT_EQ("the user's settings", ReadFile(machine.Path("Tavrin\\Tavrin.Ini.bak")));
    EXPECT_EQ("AutoCAD's own", ReadFile("C:\\e2e-acad\\AutoCAD 2008\\Drv\\pdfplot9.hdi.bak"));
    uidriver::Click(Window(), IDOK);
    EXPECT_EQ(0u, WaitExit());
  }
}

// The shipped 32-bit edition on a 64-bit Windows (a 64-bit prefix only) beside
// 64-bit AutoCADs: it finds and writes the 32-bit view and Program Files (x86) only.
using Win64Wow64 = Install;

TEST_F(Win64Wow64, The32BitEditionInstallsIntoThe32BitAutoCadsOnly) {
  const std::string x86 = "C:\\Program Files (x86)\\e2e-acad", x64 = "C:\\Program Files\\e2e-acad";
  for (const std::string& root : {x86, x64}) RemoveTree(root);
  for (const std::string& folder : {x86 + "\\AutoCAD 2010\\Fonts", x86 + "\\AutoCAD 2012\\Fonts", x64 + "\\AutoCAD 2016"}) MakeFolders(folder);
  WriteFile(x64 + "\\AutoCAD 2016\\acad.exe", "AutoCAD's own");
  ImportCase("wow64");
  HWND dialog = StartSetup();
  EXPECT_EQ("v-- v-- v-- vex v-- vex v-- v-- v-- v-- --- --- --- --- --- --- --- --- --- --- ", Boxes());
  uidriver::Click(dialog, kInstall);
  WaitForFinishedPage();
  EXPECT_EQ(CaseFile("wow64.expected.txt"), Outcome({x86, x64}));
}

// Both editions on one 64-bit Windows (a 64-bit prefix only), each beside its
// own payload: the 32-bit one installs into the default folder; the 64-bit
// one refuses that folder before writing anything, and installs into the one
// the user then types. The 32-bit AutoCAD's module stays its own.
using Win64Editions = Install;

TEST_F(Win64Editions, NeitherEditionReplacesTheOthersModules) {
  ImportCase("wow64");  // without AutoCAD's folders: their support files are of no matter here
  auto payload = [&](int bits) {
    for (const char* name : {"TR_RedavIzor2008.ARX", "TR_RedavIzor2010.ARX", "TR_RedavIzor2013.ARX"})
      CopyFileA(EditionModule(bits).c_str(), machine.Path("Data\\" + std::string(name)).c_str(), FALSE);
  };
  payload(32);
  uidriver::Click(StartSetup(), kInstall);
  WaitForFinishedPage();
  uidriver::Click(Window(), IDOK);
  EXPECT_EQ(0u, WaitExit());
  ASSERT_TRUE(CopyFileA(SetupExe64().c_str(), machine.Path("SetUp.exe").c_str(), FALSE)) << "E2E_SETUP64_EXE";
  payload(64);
  HWND dialog = StartSetup();
  uidriver::Click(dialog, kInstall);
  uidriver::MessageBoxInfo box = WaitBox();
  EXPECT_EQ(u8"文件夹\n\nC:\\Tavrin\\T-RedavIzor\n\n中已安装32位AutoCAD版的插件，不能用本安装程序覆盖。\n\n请选择其他文件夹后再进行安装 !", box.text);
  Answer(box, IDOK);
  uidriver::SetText(dialog, kTargetPath, "C:\\Tavrin64");
  uidriver::Click(dialog, kInstall);
  WaitForFinishedPage();
  EXPECT_EQ(ReadFile(EditionModule(32)), ReadFile("C:\\Tavrin\\T-RedavIzor\\TR_RedavIzor2010.ARX"));
  EXPECT_EQ(ReadFile(EditionModule(64)), ReadFile("C:\\Tavrin64\\T-RedavIzor\\TR_RedavIzor2010.ARX"));
}

}  // namespace
