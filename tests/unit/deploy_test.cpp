// The deployment against real files and processes: where the payload is
// found, its copy into the target folder, the support files of each chosen
// AutoCAD folder, and whether AutoCAD runs.
#include <cstring>

#include "acad_inventory.h"
#include "machine.h"
#include "module_edition.h"
#include "payload_copier.h"
#include "pre_install_checks.h"

namespace {

typedef std::vector<std::string> Names_;

// A download unpacked as pkg\SetUp.exe beside pkg\Data, and a target folder.
class Deploy : public testing::Test {
 protected:
  Deploy() {
    MakeFolders(data);
    MakeFolders(target);
    machine.SetProgramPath(setup + "\\SetUp.exe");
  }
  void Payload(const Names_& names) {
    for (const std::string& name : names) WriteFile(data + "\\" + name, "payload " + name);
  }
  bool Copy(const std::string& folder) { return CPayloadCopier(folder.c_str(), nullptr).CopyPayload(); }

  Machine machine;
  const std::string setup = machine.Path("pkg"), data = setup + "\\Data", target = machine.Path("T-RedavIzor");
};

HANDLE WINAPI ListingRefused(LPCSTR pattern, LPWIN32_FIND_DATAA entry) {
  if (!strstr(pattern, "*.*")) return (kRealSyscalls.FindFirstFileA)(pattern, entry);
  SetLastError(ERROR_ACCESS_DENIED);
  return INVALID_HANDLE_VALUE;
}

TEST_F(Deploy, PayloadIsFoundBesideTheProgramOnly) {
  const struct { std::string folder, file, program, found; } rows[] = {
      {"", "pkg\\TR_RedavIzor2010.arx", "pkg\\SetUp.exe", "pkg\\Data"},              // Data wins over the marker
      {"", "pkg\\Data\\TR_RedavIzor2010.arx", "pkg\\Data\\SetUp.exe", "pkg\\Data"},  // the marker
      {"x\\TR_RedavIzor2010.arx", "x\\Data", "x\\SetUp.exe", ""},                     // each of the wrong kind
      {"", "", "pkg\\" + std::string(300, 's') + ".exe", ""},  // a path cut by its 261-byte buffer
  };
  SetCurrentDirectoryA(setup.c_str());  // the current directory plays no part
  machine.answers = {IDOK, IDOK, IDOK, IDOK};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.program);
    if (!row.folder.empty()) MakeFolders(machine.Path(row.folder));
    if (!row.file.empty()) WriteFile(machine.Path(row.file));
    machine.SetProgramPath(machine.Path(row.program));
    CString found;
    const bool isFound = FindDataFolder(found);
    EXPECT_EQ(row.found, isFound ? found.str().substr(machine.Root().size() + 1) : "");
  }
  EXPECT_FALSE(Copy(machine.Path("fresh")));
  EXPECT_FALSE(Exists(machine.Path("fresh"))) << "nothing is made before the payload is found";
  machine.SetProgramPath(setup + "\\SetUp.exe");
  g_syscalls.FindFirstFileA = &ListingRefused;
  EXPECT_FALSE(Copy(target)) << "nor is a payload that cannot be listed taken for an empty one";
  ASSERT_EQ(4u, machine.boxes.size());
  EXPECT_EQ("未找到安装所需的Data文件夹 !\n\n可能安装文件下载后没有解压，\n\n请解压后再执行SetUp.exe !", machine.boxes[2].text);
  EXPECT_EQ("T-软件安装", machine.boxes[2].caption);
}

TEST_F(Deploy, PayloadIsCopiedFlatWithItsRoutesStepsAndAttributes) {
  Payload({"setup.exe", "tavrin_en.shx", "TAVRIN_HZ.SHX", "tavrin.PRT5", "TAVRIN.INI", "a.arx", "xSetUp.EXE", "ro.dll"});
  MakeFolders(data + "\\extra");
  SetFileAttributesA((data + "\\ro.dll").c_str(), FILE_ATTRIBUTE_READONLY);
  WriteFile(target + "\\A.ARX", "old");
  SetFileAttributesA((target + "\\A.ARX").c_str(), FILE_ATTRIBUTE_READONLY);
  WriteFile(data + "\\ro.dll:Zone.Identifier");  // under Wine a file of its own, listed after ro.dll
  machine.answers = {IDIGNORE};                   // whose copy then fails: ro.dll's turn deleted it
  EXPECT_TRUE(Copy(target + "\\"));               // one trailing backslash is dropped
  EXPECT_EQ((Names_{"A.ARX", "ro.dll", "xSetUp.EXE"}), Names(target));
  EXPECT_EQ("payload a.arx", ReadFile(target + "\\a.arx")) << "a read-only destination is overwritten";
  // A read-only payload file of root's (scripts/test makes it) keeps its bit; CopyFileA gives it to the copy.
  const std::string foreign = getenv("SETUP_FOREIGN_PAYLOAD") ? getenv("SETUP_FOREIGN_PAYLOAD") : "unset";
  machine.SetProgramPath(foreign + "\\SetUp.exe");
  EXPECT_TRUE(Copy(target));
  EXPECT_TRUE(GetFileAttributesA((foreign + "\\Data\\root.dll").c_str()) & FILE_ATTRIBUTE_READONLY) << foreign;
  for (const std::string& file : {target + "\\a.arx", target + "\\ro.dll", data + "\\ro.dll", target + "\\root.dll"})
    EXPECT_FALSE(GetFileAttributesA(file.c_str()) & FILE_ATTRIBUTE_READONLY) << file;
  EXPECT_FALSE(Exists(data + "\\ro.dll:Zone.Identifier")) << "the download mark is removed";
  EXPECT_EQ(Names_{"TAVRIN.INI"}, Names(machine.Path("Tavrin")));
}

// However many files the payload holds, each is copied, and the bar, which
// the install steps three more times after the copy, ends within its range.
TEST_F(Deploy, EveryPayloadFileIsCopiedWithinTheProgressBarsRange) {
  for (int i = 0; i < 150; ++i) WriteFile(data + "\\f" + std::to_string(1000 + i));
  CProgressCtrl bar;
  bar.Attach(CreateWindowExA(0, PROGRESS_CLASSA, "", 0, 0, 0, 100, 10, nullptr, nullptr, nullptr, nullptr));
  bar.SetRange(0, 50);
  bar.SetStep(1);
  EXPECT_TRUE(CPayloadCopier(target.c_str(), &bar).CopyPayload());
  EXPECT_EQ(150u, Names(target).size());
  EXPECT_EQ(47, bar.GetPos());
  DestroyWindow(bar.Detach());
}

// As Windows may answer for a value too long for the buffer: part of it there.
DWORD WINAPI AppDataTooLong(LPCSTR, LPSTR buffer, DWORD size) {
  lstrcpynA(buffer, "C:\\cut", size);
  return 400;
}

TEST_F(Deploy, SettingsGoBelowTheCurrentDriveWhenAppDataIsUnsetOrTooLong) {
  Payload({"Tavrin.Ini"});
  SetCurrentDirectoryA(machine.Root().c_str());
  SetEnvironmentVariableA("APPDATA", nullptr);
  const std::string settings = machine.Root().substr(0, 2) + "\\Tavrin\\Tavrin.Ini";
  for (bool tooLong : {false, true}) {
    DeleteFileA(settings.c_str());
    if (tooLong) g_syscalls.GetEnvironmentVariableA = &AppDataTooLong;
    EXPECT_TRUE(Copy(target));
    EXPECT_EQ("payload Tavrin.Ini", ReadFile(settings)) << (tooLong ? "too long" : "unset");
  }
  RemoveTree(settings.substr(0, settings.rfind('\\')));
}

TEST_F(Deploy, FailedCopiesAskAbortRetryIgnore) {
  // A name one character past the 260-byte buffer is reported, never cut.
  const std::string tooLong(259 - target.size(), 'n');
  Payload({"a.arx", tooLong});
  HANDLE held = CreateFileA((target + "\\a.arx").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  machine.answers = {IDRETRY, IDIGNORE, IDIGNORE, IDABORT};
  EXPECT_TRUE(Copy(target)) << "Retry asks again while a.arx is held; Ignore goes on";
  ASSERT_EQ(3u, machine.boxes.size());
  EXPECT_EQ("拷贝文件 " + target + "\\" + tooLong +
                " 失败，可能原因如下：\n\n1、AutoCAD未关闭\n\n2、系统权限未开放，请以管理者权限登陆系统",
            machine.boxes[2].text);
  EXPECT_EQ(static_cast<UINT>(MB_ABORTRETRYIGNORE), machine.boxes[2].style);
  EXPECT_FALSE(Copy(target)) << "Abort stops the copy";
  CloseHandle(held);
  EXPECT_EQ(Names_{"a.arx"}, Names(target));
}

// Windows refuses to overwrite a hidden file, as a read-only one; Wine copies
// over it. And a disk that fills up at ACAD2050P.dll in a folder named R18.
BOOL WINAPI CopyAsWindows(LPCSTR source, LPCSTR destination, BOOL failIfExists) {
  const DWORD attributes = (kRealSyscalls.GetFileAttributesA)(destination);
  const bool full = strstr(destination, "\\R18\\ACAD2050P.dll") != nullptr;
  if (!full && (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_HIDDEN)))
    return (kRealSyscalls.CopyFileA)(source, destination, failIfExists);
  SetLastError(full ? ERROR_DISK_FULL : ERROR_ACCESS_DENIED);
  return FALSE;
}

// Beyond the golden install: the 2008 plot driver and AutoCAD's own kept once,
// modules of 2007 to 2050, no folder made, a vanished payload, an update over
// a read-only file; refusals that nothing around them explains, each noted
// with its reason (a file in use, a full disk, a path too long), and those
// that are explained: a hidden file or a folder in the file's place.
TEST_F(Deploy, EachFolderOfEachChosenReleaseGetsItsSupportFiles) {
  CAcadInventory inventory;
  auto acadFolder = [&](int year, const std::string& name, bool subFolders = true) {
    const std::string folder = machine.Path(name);
    MakeFolders(subFolders ? folder + "\\Drv" : folder);
    if (subFolders) MakeFolders(folder + "\\Fonts");
    inventory.m_aInstallFolders[year - 2007].Add(folder.c_str());
    return folder;
  };
  auto install = [&](std::initializer_list<int> years) {
    ForReleases(years, [&](auto... f) { inventory.InstallSupportFiles(f...); });
  };
  Payload({"itextsharp.dll", "ACAD2006P.dll", "ACAD2007P.dll", "ACAD2050P.dll", "ACAD2051P.dll", "Tavrin.prt5"});
  SetFileAttributesA((data + "\\ACAD2050P.dll").c_str(), FILE_ATTRIBUTE_READONLY);  // from a read-only medium
  const std::string r2008 = acadFolder(2008, "R17.1"), r2010 = acadFolder(2010, "R18");
  const std::string bare = acadFolder(2008, "R17.1 bare", false);
  acadFolder(2011, std::string(250 - machine.Root().size(), 'L'), false);  // no file's path fits
  WriteFile(r2008 + "\\Drv\\pdfplot9.hdi", "AutoCAD's plot driver");
  WriteFile(r2010 + "\\itextsharp.dll", "AutoCAD's");
  SetFileAttributesA((r2010 + "\\itextsharp.dll").c_str(), FILE_ATTRIBUTE_READONLY);
  WriteFile(r2010 + "\\ACAD2007P.dll", "AutoCAD's");
  SetFileAttributesA((r2010 + "\\ACAD2007P.dll").c_str(), FILE_ATTRIBUTE_HIDDEN);
  MakeFolders(bare + "\\itextsharp.dll");
  HANDLE held = CreateFileA((r2008 + "\\itextsharp.dll").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  g_syscalls.CopyFileA = &CopyAsWindows;
  install({2008, 2010, 2011});
  CloseHandle(held);
  EXPECT_EQ((Names_{"ACAD2007P.dll", "ACAD2050P.dll", "Drv", "Fonts", "itextsharp.dll"}), Names(r2008));
  EXPECT_EQ("payload Tavrin.prt5", ReadFile(r2008 + "\\Drv\\pdfplot9.hdi"));
  EXPECT_EQ(Names_{}, Names(r2010 + "\\Drv"));
  EXPECT_EQ("payload itextsharp.dll", ReadFile(r2010 + "\\itextsharp.dll")) << "a read-only file in the way is replaced";
  for (const std::string& file : {r2010 + "\\itextsharp.dll", r2008 + "\\ACAD2050P.dll"})
    EXPECT_FALSE(GetFileAttributesA(file.c_str()) & FILE_ATTRIBUTE_READONLY) << file << " is left writable";
  EXPECT_EQ((Names_{"ACAD2007P.dll", "ACAD2050P.dll", "itextsharp.dll"}), Names(bare));
  EXPECT_EQ("2008 in use, 2010 error 112, 2011 error 206, ", IncompleteYears(inventory.m_incomplete));
  WriteFile(data + "\\Tavrin.prt5", "a later plug-in's");
  install({2008});
  EXPECT_EQ("a later plug-in's", ReadFile(r2008 + "\\Drv\\pdfplot9.hdi"));
  EXPECT_EQ("AutoCAD's plot driver", ReadFile(r2008 + "\\Drv\\pdfplot9.hdi.bak")) << "AutoCAD's own, kept once";

  const std::string r2009 = acadFolder(2009, "R17.2");
  acadFolder(2009, "R17.2 b");
  RemoveTree(data);
  machine.answers = {IDOK, IDOK};  // once per folder
  install({2009});
  EXPECT_EQ((Names_{"Drv", "Fonts"}), Names(r2009));
}

// A module belongs to the edition its PE header names: the i386 and AMD64
// images the test build makes; not an i386 image marked managed (an
// assembly for any processor), nor a file that is no PE image. A folder
// holds the other edition also by a file named as a payload's .dll file.
TEST_F(Deploy, ModulesBelongToTheEditionTheirHeaderNames) {
  std::string managed = ReadFile(EditionModule(32)).value_or("");
  const size_t optional = *reinterpret_cast<const DWORD*>(&managed[0x3C]) + 24;  // PE32: its CLR directory at 208
  managed.replace(optional + 208, 4, std::string("\x00\x20\x00\x00", 4));
  WriteFile(data + "\\managed.dll", managed);
  WriteFile(data + "\\text.ARX", "MZ, and no more");
  const struct { std::string file; int edition; } rows[] = {
      {EditionModule(32), 32}, {EditionModule(64), 64}, {data + "\\managed.dll", 0}, {data + "\\text.ARX", 0}, {data + "\\none.ARX", 0}};
  for (const auto& row : rows) EXPECT_EQ(row.edition, ModuleEdition(row.file.c_str())) << row.file;
  CStringArray payload;
  payload.Add("itextsharp.dll");
  CopyFileA(EditionModule(64).c_str(), (target + "\\itextsharp.dll").c_str(), FALSE);
  EXPECT_EQ(64, OtherEditionInstalled(target.c_str(), data.c_str(), payload, 32));
  EXPECT_EQ(0, OtherEditionInstalled(target.c_str(), target.c_str(), payload, 32)) << "the payload's own, started from there";
}

TEST(AcadRunning, ANameContainingAcadExeCounts) {
  Machine machine;
  for (const auto& [name, running] : {std::pair<const char*, bool>{"ACAD.EXE", true}, {"xacad.exe", true}, {"acad", false}}) {
    TestProcess process(machine.Root(), name);
    EXPECT_EQ(running, IsAcadRunning()) << name;
  }
}

}  // namespace
