// The deployment: where the payload is found, its copy into the target
// folder, the support files of each chosen AutoCAD folder, and whether
// AutoCAD runs, against real files and processes under Wine.
#include <cstring>
#include <memory>

#include "acad_inventory.h"
#include "machine.h"
#include "payload_copier.h"
#include "pre_install_checks.h"

namespace {

typedef std::vector<std::string> NameList;
const char kCaption[] = "T-软件安装";
std::string CopyFailed(const std::string& destination) {
  return "拷贝文件 " + destination + " 失败，可能原因如下：\n\n1、AutoCAD未关闭\n\n2、系统权限未开放，请以管理者权限登陆系统";
}

// A download unpacked as pkg\SetUp.exe beside pkg\Data, a target folder, and
// the setup dialog's progress bar, stepping by one.
class Deploy : public testing::Test {
 protected:
  Deploy() {
    MakeFolders(data);
    MakeFolders(target);
    machine.SetProgramPath(setup + "\\SetUp.exe");
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&classes);
    progress.Attach(CreateWindowExA(0, PROGRESS_CLASSA, "", WS_POPUP, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr));
    progress.SetRange(0, 1000);
    progress.SetStep(1);
  }
  ~Deploy() override { DestroyWindow(progress.Detach()); }
  void Payload(const NameList& names) {
    for (const std::string& name : names) WriteFile(data + "\\" + name, "payload " + name);
  }
  bool Copy(const std::string& folder = "") { return CPayloadCopier((folder.empty() ? target : folder).c_str(), &progress).CopyPayload(); }
  bool ReadOnly(const std::string& path) { return GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY; }

  Machine machine;
  const std::string setup = machine.Path("pkg"), data = setup + "\\Data", target = machine.Path("T-RedavIzor");
  CProgressCtrl progress;
};

TEST_F(Deploy, PayloadIsFoundBesideTheProgramOnly) {
  const struct { const char* why; NameList files, folders; std::string program, found; } rows[] = {
      {"Data beside the program wins over the marker", {"pkg\\TR_RedavIzor2010.arx"}, {}, "pkg\\SetUp.exe", "pkg\\Data"},
      {"the marker beside the program", {"pkg\\Data\\TR_RedavIzor2010.arx"}, {}, "pkg\\Data\\SetUp.exe", "pkg\\Data"},
      {"a file named Data, a folder named like the marker", {"x\\Data"}, {"x\\TR_RedavIzor2010.arx"}, "x\\SetUp.exe", ""},
      {"a program path cut by its 261-byte buffer", {}, {}, "pkg\\" + std::string(300, 's') + ".exe", ""},
  };
  SetCurrentDirectoryA(setup.c_str());  // a payload in the current directory plays no part
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    for (const std::string& file : row.files) { MakeFolders(machine.Path(file.substr(0, file.rfind('\\')))); WriteFile(machine.Path(file)); }
    for (const std::string& folder : row.folders) MakeFolders(machine.Path(folder));
    machine.SetProgramPath(machine.Path(row.program));
    if (row.found.empty()) machine.answers = {IDOK};
    CString found;
    EXPECT_EQ(!row.found.empty(), FindDataFolder(found));
    if (!row.found.empty()) EXPECT_EQ(machine.Path(row.found), found.str());
  }
  ASSERT_EQ(2u, machine.boxes.size());
  EXPECT_EQ("未找到安装所需的Data文件夹 !\n\n可能安装文件下载后没有解压，\n\n请解压后再执行SetUp.exe !", machine.boxes[0].text);
  EXPECT_EQ(kCaption, machine.boxes[0].caption);
  EXPECT_EQ(static_cast<UINT>(MB_OK), machine.boxes[0].style);
}

TEST_F(Deploy, PayloadIsCopiedFlatWithItsRoutesStepsAndAttributes) {
  const std::string appData = machine.Path("Roaming");
  MakeFolders(appData);
  SetEnvironmentVariableA("APPDATA", appData.c_str());
  Payload({"setup.exe", "tavrin_en.shx", "TAVRIN_HZ.SHX", "tavrin.PRT5", "TAVRIN.INI", "a.arx", "xSetUp.EXE", "ro.dll"});
  MakeFolders(data + "\\extra");
  WriteFile(data + "\\extra\\c.txt");
  SetFileAttributesA((data + "\\ro.dll").c_str(), FILE_ATTRIBUTE_READONLY);
  WriteFile(target + "\\A.ARX", "old");
  SetFileAttributesA((target + "\\A.ARX").c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_TRUE(Copy(target + "\\"));  // one trailing backslash is dropped
  EXPECT_EQ((NameList{"A.ARX", "ro.dll", "xSetUp.EXE"}), Names(target));
  EXPECT_EQ("payload a.arx", ReadFile(target + "\\a.arx")) << "a read-only destination is overwritten";
  EXPECT_FALSE(ReadOnly(target + "\\a.arx") || ReadOnly(target + "\\ro.dll") || ReadOnly(data + "\\ro.dll"));
  EXPECT_EQ(NameList{"TAVRIN.INI"}, Names(appData + "\\Tavrin"));
  EXPECT_EQ(12, progress.GetPos()) << "11 entries and the fetch that finds no more";
}

TEST_F(Deploy, AtMost101EntriesAreExamined) {
  for (int i = 0; i < 120; ++i) WriteFile(data + "\\f" + std::to_string(1000 + i));
  EXPECT_TRUE(Copy());
  EXPECT_EQ(101, progress.GetPos());
  EXPECT_EQ(99u, Names(target).size()) << "\".\" and \"..\" are two of the 101";
}

TEST_F(Deploy, SettingsGoBelowTheCurrentDriveWhenAppDataIsUnsetOrTooLong) {
  Payload({"Tavrin.Ini"});
  SetCurrentDirectoryA(machine.Root().c_str());
  const std::string settings = machine.Root().substr(0, 2) + "\\Tavrin\\Tavrin.Ini";
  const std::string tooLong = machine.Path(std::string(260, 'r'));
  for (const char* appData : {static_cast<const char*>(nullptr), tooLong.c_str()}) {
    DeleteFileA(settings.c_str());
    SetEnvironmentVariableA("APPDATA", appData);
    EXPECT_TRUE(Copy());
    EXPECT_EQ("payload Tavrin.Ini", ReadFile(settings)) << (appData ? "too long" : "unset");
  }
  DeleteFileA(settings.c_str());
  RemoveDirectoryA(settings.substr(0, settings.rfind('\\')).c_str());
}

TEST_F(Deploy, DownloadMarkLeavesThePayloadFile) {
  Payload({"a.arx"});
  WriteFile(data + "\\a.arx:Zone.Identifier", "[ZoneTransfer]\r\nZoneId=3\r\n");
  // Under Wine the mark is a file of its own, listed after a.arx: its copy
  // fails once a.arx's turn has deleted it.
  machine.answers = {IDIGNORE};
  EXPECT_TRUE(Copy());
  EXPECT_FALSE(Exists(data + "\\a.arx:Zone.Identifier"));
  EXPECT_EQ("payload a.arx", ReadFile(target + "\\a.arx"));
}

TEST_F(Deploy, FailedCopiesAskAbortRetryIgnore) {
  // A name one character past the 260-byte buffer is reported, never cut.
  Payload({"a.arx", std::string(259 - target.size(), 'n')});
  machine.answers = {IDIGNORE};
  EXPECT_TRUE(Copy());
  ASSERT_EQ(1u, machine.boxes.size());
  EXPECT_EQ(CopyFailed(target + "\\" + std::string(259 - target.size(), 'n')), machine.boxes[0].text);
  EXPECT_EQ(static_cast<UINT>(MB_ABORTRETRYIGNORE), machine.boxes[0].style);
  EXPECT_EQ(NameList{"a.arx"}, Names(target));

  // A destination held open by a running program: Retry asks again.
  auto holder = std::make_unique<TestProcess>(machine.Root(), "holder.exe", target + "\\a.arx");
  machine.boxes.clear();
  machine.answers = {IDRETRY, IDIGNORE, IDIGNORE, IDABORT};
  EXPECT_TRUE(Copy());
  EXPECT_EQ(3u, machine.boxes.size()) << "Retry, then Ignore for a.arx, Ignore for the long name";
  EXPECT_FALSE(Copy()) << "Abort stops the copy";
  holder.reset();
  EXPECT_EQ("payload a.arx", ReadFile(target + "\\a.arx"));
}

TEST_F(Deploy, MissingOrUnlistablePayloadStopsBeforeAnythingIsCreated) {
  RemoveTree(data);
  machine.answers = {IDOK};
  EXPECT_FALSE(Copy(machine.Path("fresh")));
  EXPECT_FALSE(Exists(machine.Path("fresh")));
  EXPECT_EQ(0, progress.GetPos());
}

class SupportFiles : public Deploy {
 protected:
  std::string AcadFolder(int year, const std::string& name, const NameList& subFolders = {"Drv", "Fonts"}) {
    const std::string folder = machine.Path(name);
    MakeFolders(folder);
    for (const std::string& sub : subFolders) MakeFolders(folder + "\\" + sub);
    inventory.m_aInstallFolders[year - 2007].Add(folder.c_str());
    return folder;
  }
  void Install(std::initializer_list<int> years) {
    int c[20] = {};
    for (int year : years) c[year - 2007] = 1;
    inventory.InstallSupportFiles(c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7], c[8], c[9], c[10], c[11], c[12],
                                  c[13], c[14], c[15], c[16], c[17], c[18], c[19]);
  }
  CAcadInventory inventory;
};

TEST_F(SupportFiles, EachFolderOfEachChosenReleaseGetsItsFiles) {
  Payload({"Tavrin_EN.shx", "Tavrin_HZ.shx", "itextsharp.dll", "ACAD2006P.dll", "ACAD2007P.dll", "ACAD2050P.dll",
           "ACAD2051P.dll", "Tavrin.prt5"});
  const std::string r2008 = AcadFolder(2008, "R17.1"), a = AcadFolder(2010, "R18 a"), b = AcadFolder(2010, "R18 b");
  const std::string unchosen = AcadFolder(2009, "R17.2"), noDrv = AcadFolder(2008, "R17.1 bare", {});
  WriteFile(b + "\\itextsharp.dll", "AutoCAD's");
  SetFileAttributesA((b + "\\itextsharp.dll").c_str(), FILE_ATTRIBUTE_READONLY);
  Install({2008, 2010, 2026});
  for (const std::string& folder : {r2008, a})
    EXPECT_EQ((NameList{"ACAD2007P.dll", "ACAD2050P.dll", "Drv", "Fonts", "itextsharp.dll"}), Names(folder)) << folder;
  EXPECT_EQ((NameList{"Tavrin_EN.shx", "Tavrin_HZ.shx"}), Names(b + "\\Fonts"));
  EXPECT_EQ("payload Tavrin.prt5", ReadFile(r2008 + "\\Drv\\pdfplot9.hdi")) << "the plot driver, 2008 only";
  EXPECT_EQ(NameList{}, Names(a + "\\Drv"));
  EXPECT_EQ("AutoCAD's", ReadFile(b + "\\itextsharp.dll")) << "a read-only file stays, silently";
  EXPECT_EQ((NameList{"ACAD2007P.dll", "ACAD2050P.dll", "itextsharp.dll"}), Names(noDrv)) << "no folder is made";
  EXPECT_EQ((NameList{"Drv", "Fonts"}), Names(unchosen));
  for (int k = 0; k < kReleaseCount; ++k) EXPECT_FALSE(inventory.m_bInstallIncomplete[k]) << 2007 + k;
}

BOOL WINAPI CopyRefusedInto2014(LPCSTR source, LPCSTR destination, BOOL failIfExists) {
  if (strstr(destination, "R19.1")) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  return (kRealSyscalls.CopyFileA)(source, destination, failIfExists);
}

TEST_F(SupportFiles, ACopyRefusedForLackOfRightsMarksItsRelease) {
  Payload({"itextsharp.dll"});
  AcadFolder(2010, "R18");
  AcadFolder(2014, "R19.1");
  g_syscalls.CopyFileA = &CopyRefusedInto2014;
  Install({2010, 2014});
  for (int k = 0; k < kReleaseCount; ++k) EXPECT_EQ(k == 2014 - 2007, inventory.m_bInstallIncomplete[k]) << 2007 + k;
}

TEST_F(SupportFiles, VanishedPayloadIsReportedOncePerFolderAndNothingIsCopied) {
  const std::string a = AcadFolder(2010, "R18 a"), b = AcadFolder(2010, "R18 b");
  RemoveTree(data);
  machine.answers = {IDOK, IDOK};
  Install({2010});
  EXPECT_EQ((NameList{"Drv", "Fonts"}), Names(a));
}

HANDLE WINAPI NoSnapshot(DWORD, DWORD) { return INVALID_HANDLE_VALUE; }

TEST(AcadRunning, ANameContainingAcadExeCounts) {
  Machine machine;
  EXPECT_FALSE(IsAcadRunning());
  for (const auto& [name, running] : {std::pair<const char*, bool>{"acad.exe", true}, {"ACAD.EXE", true},
                                      {"xacad.exe", true}, {"acad", false}}) {
    TestProcess process(machine.Root(), name);
    EXPECT_EQ(running, IsAcadRunning()) << name;
    if (!running) continue;
    g_syscalls.CreateToolhelp32Snapshot = &NoSnapshot;
    EXPECT_FALSE(IsAcadRunning()) << "no process list: not running";
    g_syscalls.CreateToolhelp32Snapshot = kRealSyscalls.CreateToolhelp32Snapshot;
  }
}

}  // namespace
