// The start-up scan: machines given as .reg text, one row each, and
// registries that fail it part-way through the call table.
#include "acad_inventory.h"
#include "machine.h"

namespace {

const std::string kNative = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Autodesk\\AutoCAD\\";
const std::string kWow = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Autodesk\\AutoCAD\\";

// A key holding both values; location is .reg-escaped by the caller.
std::string Product(const std::string& key, const std::string& location, const std::string& name) {
  return "[" + key + "]\n\"AcadLocation\"=\"" + location + "\"\n\"ProductName\"=\"" + name + "\"\n";
}

// What the scan found, release by release: "2010 KEY>FOLDER; ..." in list order.
std::string Found(const CAcadInventory& inventory) {
  std::string text;
  for (int k = 0; k < kReleaseCount; ++k)
    for (int i = 0; i < inventory.m_aProductKeys[k].GetSize(); ++i)
      text += std::to_string(2007 + k) + " " + inventory.m_aProductKeys[k][i].str() + ">" +
              inventory.m_aInstallFolders[k][i].str() + "; ";
  return text;
}

struct ScanCase {
  const char* name;
  std::string machine;
  std::string found;  // u8, as the registry holds it
};

const std::string kLong(253, 'L');

const ScanCase kScanCases[] = {
    {"year after the first character; folder loses one trailing backslash",
     Product(kNative + "R18.0\\ACAD-8001:804", "C:\\\\AutoCAD 2010\\\\", u8"AutoCAD 2010 - 简体中文"),
     "2010 SOFTWARE\\Autodesk\\AutoCAD\\R18.0\\ACAD-8001:804\\>C:\\AutoCAD 2010; "},
    {"a year at position 0 does not count; the earliest matching year wins",
     Product(kNative + "R\\A", "C:\\\\A", "2012 AutoCAD") + Product(kNative + "R\\B", "C:\\\\B", "2013 AutoCAD 2013") +
         Product(kNative + "R\\C", "C:\\\\C", "AutoCAD 2016 (2014)") + Product(kNative + "R\\D", "C:\\\\D", "LT"),
     "2014 SOFTWARE\\Autodesk\\AutoCAD\\R\\C\\>C:\\C; "},
    {"Wow6432Node first, and only for 2007 and 2008",
     Product(kWow + "R17.1\\P", "C:\\\\A8", "AutoCAD 2008") + Product(kWow + "R17.2\\P", "C:\\\\A9", "AutoCAD 2009") +
         Product(kNative + "R17.1\\P", "C:\\\\A8", "AutoCAD 2008"),
     "2008 SOFTWARE\\Wow6432Node\\Autodesk\\AutoCAD\\R17.1\\P\\>C:\\A8; 2008 SOFTWARE\\Autodesk\\AutoCAD\\R17.1\\P\\>C:\\A8; "},
    {"any depth, but only where one key holds both values",
     Product(kNative + "R19\\Deep\\Er\\P", "D:\\\\A", "AutoCAD 2013") + "[" + kNative +
         "R19\\Split]\n\"AcadLocation\"=\"D:\\\\X\"\n[" + kNative + "R19\\Split\\Below]\n\"ProductName\"=\"AutoCAD 2013\"\n",
     "2013 SOFTWARE\\Autodesk\\AutoCAD\\R19\\Deep\\Er\\P\\>D:\\A; "},
    {"a release key holding the location hides the keys below it",
     "[" + kNative + "R20]\n\"AcadLocation\"=\"C:\\\\Top\"\n" + Product(kNative + "R20\\P", "C:\\\\B", "AutoCAD 2015") +
         Product(kNative + "R21", "C:\\\\Both", "AutoCAD 2017"),
     "2017 SOFTWARE\\Autodesk\\AutoCAD\\R21\\>C:\\Both; "},
    {"a location of 256 bytes or more counts as absent; the search goes below",
     "[" + kNative + "R1\\Long]\n\"AcadLocation\"=\"C:\\\\" + kLong + "\"\n" +
         Product(kNative + "R1\\Long\\In", "C:\\\\" + kLong.substr(1), "AutoCAD 2011"),
     "2011 SOFTWARE\\Autodesk\\AutoCAD\\R1\\Long\\In\\>C:\\" + kLong.substr(1) + "; "},
    {"two trailing backslashes lose one; a lone backslash stays",
     Product(kNative + "R\\A", "C:\\\\Two\\\\\\\\", "AutoCAD 2010") + Product(kNative + "R\\B", "\\\\", "AutoCAD 2010"),
     "2010 SOFTWARE\\Autodesk\\AutoCAD\\R\\A\\>C:\\Two\\; 2010 SOFTWARE\\Autodesk\\AutoCAD\\R\\B\\>\\; "},
    {"double-byte names whose trail byte is a backslash stay whole",
     Product(kNative + u8"R18.0\\中文嘰", u8"C:\\\\软件\\\\嘰", u8"AutoCAD 2010 简体中文"),
     u8"2010 SOFTWARE\\Autodesk\\AutoCAD\\R18.0\\中文嘰\\>C:\\软件\\嘰; "},
};

TEST(InventoryScan, FindsExactlyTheProductsOfEachMachine) {
  for (const ScanCase& row : kScanCases) {
    SCOPED_TRACE(row.name);
    Machine machine;
    ImportReg("Windows Registry Editor Version 5.00\n" + row.machine);
    CAcadInventory inventory;
    CountRegistryHandles();
    inventory.ScanInstalledReleases();
    EXPECT_EQ(Ansi(row.found), Found(inventory));
    EXPECT_EQ(0, OpenRegistryHandles()) << "every key opened is closed";
  }
}

// Faults Wine cannot make: a name that cannot be read, a key that cannot be
// opened or read, a key deleted while the scan walks.
int g_calls = 0;
int g_failAt = 0;

LSTATUS WINAPI EnumFailsOnce(HKEY key, DWORD index, LPSTR name, LPDWORD size, LPDWORD a, LPSTR b, LPDWORD c,
                             PFILETIME d) {
  if (g_calls++ == g_failAt) return ERROR_MORE_DATA;
  return (kRealSyscalls.RegEnumKeyExA)(key, index, name, size, a, b, c, d);
}
LSTATUS WINAPI OpenFailsOnce(HKEY key, LPCSTR name, DWORD options, REGSAM access, PHKEY result) {
  if (g_calls++ == g_failAt) return ERROR_ACCESS_DENIED;
  return (kRealSyscalls.RegOpenKeyExA)(key, name, options, access, result);
}
LSTATUS WINAPI ReadFailsOnce(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size) {
  if (g_calls++ == g_failAt) return ERROR_ACCESS_DENIED;
  return (kRealSyscalls.RegQueryValueExA)(key, name, reserved, type, data, size);
}
LSTATUS WINAPI EnumDeletesR2(HKEY key, DWORD index, LPSTR name, LPDWORD size, LPDWORD a, LPSTR b, LPDWORD c,
                             PFILETIME d) {
  if (g_calls++ == 0) RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Autodesk\\AutoCAD\\R2");
  return (kRealSyscalls.RegEnumKeyExA)(key, index, name, size, a, b, c, d);
}

struct FaultCase {
  const char* name;
  void (*install)();
  int failAt;
  const char* found;
};

const FaultCase kFaultCases[] = {
    {"release name unreadable: skipped, the root never reopened",
     [] { g_syscalls.RegEnumKeyExA = &EnumFailsOnce; }, 0,
     "2010 SOFTWARE\\Autodesk\\AutoCAD\\R2\\P\\>C:\\B; "},
    {"product name unreadable: skipped, its parent never searched twice",
     [] { g_syscalls.RegEnumKeyExA = &EnumFailsOnce; }, 1,
     "2010 SOFTWARE\\Autodesk\\AutoCAD\\R2\\P\\>C:\\B; "},
    // Opens: the Wow6432Node root (missing), the native root, then R1.
    {"release key refused", [] { g_syscalls.RegOpenKeyExA = &OpenFailsOnce; }, 2,
     "2010 SOFTWARE\\Autodesk\\AutoCAD\\R2\\P\\>C:\\B; "},
    // Reads: R1's own AcadLocation (missing), then R1\P's.
    {"value read refused: counts as absent", [] { g_syscalls.RegQueryValueExA = &ReadFailsOnce; }, 1,
     "2010 SOFTWARE\\Autodesk\\AutoCAD\\R2\\P\\>C:\\B; "},
    {"a release deleted while the scan walks", [] { g_syscalls.RegEnumKeyExA = &EnumDeletesR2; }, 0,
     "2010 SOFTWARE\\Autodesk\\AutoCAD\\R1\\P\\>C:\\A; "},
};

TEST(InventoryScan, RegistryFailuresCostOnlyWhatFailed) {
  for (const FaultCase& row : kFaultCases) {
    SCOPED_TRACE(row.name);
    Machine machine;
    ImportReg("Windows Registry Editor Version 5.00\n" + Product(kNative + "R1\\P", "C:\\\\A", "AutoCAD 2010") +
              Product(kNative + "R2\\P", "C:\\\\B", "AutoCAD 2010"));
    CAcadInventory inventory;
    g_calls = 0;
    g_failAt = row.failAt;
    row.install();
    CountRegistryHandles();
    inventory.ScanInstalledReleases();
    EXPECT_EQ(row.found, Found(inventory));
    EXPECT_EQ(0, OpenRegistryHandles());
  }
}

TEST(InventoryPaths, SetInstallPathDropsOneTrailingBackslashByCharacter) {
  CAcadInventory inventory;
  for (auto [in, out] : {std::pair<std::string, std::string>{"E:\\Tools\\\\", "E:\\Tools\\"},
                         {"C:\\Tavrin\\", "C:\\Tavrin"}, {"", ""}, {Ansi(u8"C:\\嘰"), Ansi(u8"C:\\嘰")}}) {
    inventory.SetInstallPath(in.c_str());
    EXPECT_EQ(out, inventory.m_strInstallPath.str()) << in;
  }
}

}  // namespace
