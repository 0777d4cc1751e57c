// Load registration under HKEY_LOCAL_MACHINE, in both editions (this file
// also runs with the 64-bit edition's settings), and under refused writes.
#include <cstring>

#include "acad_inventory.h"
#include "build_settings.h"
#include "machine.h"

namespace {

const std::string kAcad = "SOFTWARE\\Autodesk\\AutoCAD\\";
const char kTarget[] = "C:\\Tavrin\\T-RedavIzor";

class LoadRegistration : public testing::Test {
 protected:
  LoadRegistration() { inventory.SetInstallPath(kTarget); }
  // A product key filed as the scan files it, with its install folder.
  std::string AddProduct(int year, const std::string& key, const std::string& folder) {
    ImportReg("REGEDIT4\n[HKEY_LOCAL_MACHINE\\" + kAcad + key + "]\n");
    inventory.m_aProductKeys[year - 2007].Add((kAcad + key + "\\").c_str());
    inventory.m_aInstallFolders[year - 2007].Add(folder.c_str());
    return kAcad + key;
  }
  void Register(std::initializer_list<int> years) {
    int f[20] = {};
    for (int year : years) f[year - 2007] = 1;
    inventory.RegisterSelectedReleases(f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8], f[9], f[10], f[11],
                                       f[12], f[13], f[14], f[15], f[16], f[17], f[18], f[19]);
  }
  static std::string Loader(const std::string& key, const std::string& subkey) {
    return RegReadString(HKEY_LOCAL_MACHINE, key + "\\Applications\\" + subkey, "LOADER").value_or("<none>");
  }
  std::string Refused() const {
    std::string years;
    for (int k = 0; k < kReleaseCount; ++k)
      if (inventory.m_bInstallIncomplete[k]) years += std::to_string(2007 + k) + " ";
    return years;
  }
  Machine machine;
  CAcadInventory inventory;
};

TEST_F(LoadRegistration, EveryReleaseGetsItsSubkeysAndModuleNumbers) {
  const struct { int year, arx, dll; } rows[] = {
      {2007, 2008, 2007}, {2008, 2008, 2007}, {2009, 2009, 2009}, {2010, 2010, 2010}, {2011, 2010, 2010},
      {2012, 2010, 2010}, {2013, 2013, 2013}, {2014, 2013, 2013}, {2015, 2015, 2013}, {2016, 2015, 2013},
      {2017, 2017, 2013}, {2018, 2018, 2013}, {2019, 2019, 2013}, {2020, 2019, 2013}, {2021, 2021, 2013},
      {2022, 2021, 2013}, {2023, 2021, 2013}, {2024, 2021, 2013}, {2025, 2025, 2013}, {2026, 2025, 2013}};
  for (const auto& row : rows) AddProduct(row.year, "R" + std::to_string(row.year) + "\\P", "D:\\A");
  Register({2007, 2008, 2009, 2010, 2011, 2012, 2013, 2014, 2015, 2016,
            2017, 2018, 2019, 2020, 2021, 2022, 2023, 2024, 2025, 2026});
  for (const auto& row : rows) {
    const std::string key = kAcad + "R" + std::to_string(row.year) + "\\P", year = std::to_string(row.year);
    EXPECT_EQ(std::string(kTarget) + "\\TR_RedavIzor" + std::to_string(row.arx) + ".ARX",
              Loader(key, "TR_RedavIzor" + year)) << row.year;
    EXPECT_EQ("D:\\A\\ACAD" + std::to_string(row.dll) + "P.dll", Loader(key, "Tavrin" + year + "DLLP")) << row.year;
    // The 64-bit edition also loads the 2008 module for 2009.
    if (row.year != 2008)
      EXPECT_EQ(g_nBuildBits == 64 && row.year == 2009 ? std::string(kTarget) + "\\TR_RedavIzor2008.ARX" : "<none>",
              Loader(key, "TR_RedavIzor2008")) << row.year;
  }
  EXPECT_EQ("", Refused());
}

TEST_F(LoadRegistration, SubkeysAreWrittenAfreshWithTypesOrderAndByteCounts) {
  std::string first = AddProduct(2011, "R18.1\\ACAD-9001:804", "C:\\AutoCAD 2011");
  std::string second = AddProduct(2011, "R18.1\\ACAD-9004:804", "D:\\Mechanical");
  ImportReg("REGEDIT4\n[HKEY_LOCAL_MACHINE\\" + first + "\\Applications\\TR_RedavIzor2011]\n\"Stale\"=\"x\"\n[HKEY_LOCAL_MACHINE\\" +
            first + "\\Applications\\Other]\n\"LOADCTRLS\"=dword:0000000e\n");
  Register({2011});
  const std::string apps = first + "\\Applications";
  const std::string expected = apps + "\n" + apps + "\\Other\n" + apps + "\\Other: LOADCTRLS = dword:14\n" + apps +
                               "\\Tavrin2011DLLP\n" + apps + "\\Tavrin2011DLLP: LOADCTRLS = dword:2\n" + apps +
                               "\\Tavrin2011DLLP: LOADER = sz:C:\\AutoCAD 2011\\ACAD2010P.dll\n" + apps +
                               "\\Tavrin2011DLLP: MANAGED = dword:1\n" + apps + "\\TR_RedavIzor2011\n" + apps +
                               "\\TR_RedavIzor2011: LOADCTRLS = dword:2\n" + apps +
                               "\\TR_RedavIzor2011: LOADER = sz:C:\\Tavrin\\T-RedavIzor\\TR_RedavIzor2010.ARX\n";
  EXPECT_EQ(expected, RegDump(HKEY_LOCAL_MACHINE, apps));
  EXPECT_EQ("D:\\Mechanical\\ACAD2010P.dll", Loader(second, "Tavrin2011DLLP")) << "the i-th key, the i-th folder";
  Register({2011});
  EXPECT_EQ(expected, RegDump(HKEY_LOCAL_MACHINE, apps)) << "a second run changes nothing";
}

TEST_F(LoadRegistration, NothingSelectedTouchesNoMachineKeyButTrustedPathsStillRun) {
  std::string key = AddProduct(2010, "R18.0\\P", "C:\\A");
  ImportReg("REGEDIT4\n[HKEY_CURRENT_USER\\" + kAcad + "R18.0\\P\\Profiles\\X\\Variables]\n");
  Register({});
  inventory.RegisterRelease(2006);
  inventory.RegisterRelease(2027);
  EXPECT_EQ(key + "\n", RegDump(HKEY_LOCAL_MACHINE, key));
  EXPECT_EQ(kTarget, RegReadString(HKEY_CURRENT_USER, kAcad + "R18.0\\P\\Profiles\\X\\Variables", "TRUSTEDPATHS"));
}

// Each path that does not fit its 260-byte buffer by one character is left
// unwritten, never cut; the same path one character shorter is written.
TEST_F(LoadRegistration, PathsOnePastTheBufferAreNotWritten) {
  const std::string fits = AddProduct(2010, "R18.0\\Fits", "C:\\" + std::string(242, 'f'));   // 259 with \ACAD2010P.dll
  const std::string over = AddProduct(2010, "R18.0\\Over", "C:\\" + std::string(243, 'o'));   // 260
  inventory.SetInstallPath(("C:\\" + std::string(236, 't')).c_str());                        // 260 with \TR_...ARX
  Register({2010});
  EXPECT_EQ("C:\\" + std::string(242, 'f') + "\\ACAD2010P.dll", Loader(fits, "Tavrin2010DLLP"));
  EXPECT_EQ("<none>", Loader(over, "Tavrin2010DLLP"));
  EXPECT_EQ("<none>", Loader(fits, "TR_RedavIzor2010"));
  inventory.SetInstallPath(("C:\\" + std::string(235, 't')).c_str());
  Register({2010});
  EXPECT_EQ("C:\\" + std::string(235, 't') + "\\TR_RedavIzor2010.ARX", Loader(fits, "TR_RedavIzor2010"));
}

// Writes refused for lack of rights (Wine does not enforce key permissions).
int g_refusedCalls = 0;
LSTATUS WINAPI CreateRefusedOnce(HKEY key, LPCSTR name, PHKEY result) {
  if (g_refusedCalls-- == 0) return ERROR_ACCESS_DENIED;
  return (kRealSyscalls.RegCreateKeyA)(key, name, result);
}
LSTATUS WINAPI SetRefusedOnce(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size) {
  if (g_refusedCalls-- == 0) return ERROR_ACCESS_DENIED;
  return (kRealSyscalls.RegSetValueExA)(key, name, reserved, type, data, size);
}
LSTATUS WINAPI OpenRefused(HKEY key, LPCSTR name, PHKEY result) {
  if (name != nullptr && strstr(name, "R19.1")) return ERROR_ACCESS_DENIED;
  return (kRealSyscalls.RegOpenKeyA)(key, name, result);
}

TEST_F(LoadRegistration, ARefusedWriteMarksExactlyItsRelease) {
  const struct { const char* name; void (*install)(); int skip; } rows[] = {
      {"a subkey refused", [] { g_syscalls.RegCreateKeyA = &CreateRefusedOnce; }, 2},
      {"a value refused", [] { g_syscalls.RegSetValueExA = &SetRefusedOnce; }, 5},
      {"the product key refused", [] { g_syscalls.RegOpenKeyA = &OpenRefused; }, 0},
  };
  AddProduct(2010, "R18.0\\P", "C:\\A10");
  AddProduct(2014, "R19.1\\P", "C:\\A14");
  AddProduct(2014, "R19.1\\Q", "C:\\B14");
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    CAcadInventory fresh;
    for (int k : {2010 - 2007, 2014 - 2007})
      for (int i = 0; i < inventory.m_aProductKeys[k].GetSize(); ++i) {
        fresh.m_aProductKeys[k].Add(inventory.m_aProductKeys[k][i]);
        fresh.m_aInstallFolders[k].Add(inventory.m_aInstallFolders[k][i]);
      }
    fresh.SetInstallPath(kTarget);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, (kAcad + "R18.0\\P\\Applications").c_str());
    // 2010 takes two creates and five sets; the refused call is 2014's first.
    g_refusedCalls = row.skip;
    row.install();
    fresh.RegisterSelectedReleases(0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    RestoreSyscalls();
    for (int k = 0; k < kReleaseCount; ++k) EXPECT_EQ(k == 2014 - 2007, fresh.m_bInstallIncomplete[k]) << 2007 + k;
    EXPECT_EQ("C:\\A10\\ACAD2010P.dll", Loader(kAcad + "R18.0\\P", "Tavrin2010DLLP")) << "2010 is registered fully";
  }
}

}  // namespace
