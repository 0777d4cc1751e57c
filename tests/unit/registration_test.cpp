// What the install writes to the registry, in both editions (this file also
// runs with the 64-bit edition's settings): load registration, also under
// refused writes, and the trusted paths of the user's profiles.
#include <cstring>

#include "acad_inventory.h"
#include "build_settings.h"
#include "machine.h"

namespace {

const char kTarget[] = "C:\\Tavrin\\T-RedavIzor";

class LoadRegistration : public testing::Test {
 protected:
  LoadRegistration() { inventory.SetInstallPath(kTarget); }
  void Register(std::initializer_list<int> years) {
    ForReleases(years, [&](auto... f) { inventory.RegisterSelectedReleases(f...); });
  }
  static std::string Loader(const std::string& product, const std::string& subkey) {
    return RegReadString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Autodesk\\AutoCAD\\R2010\\" + product + "\\Applications\\" + subkey,
                         "LOADER").value_or("<none>");
  }
  Machine machine;
  CAcadInventory inventory;
};

TEST_F(LoadRegistration, EveryReleaseGetsItsSubkeysAndModuleNumbersAndASecondRunChangesNothing) {
  ImportCase("registration");
  inventory.ScanInstalledReleases();
  const std::string expected = CaseFile(g_nBuildBits == 64 ? "registration64.expected.txt" : "registration.expected.txt");
  for (int run = 1; run <= 2; ++run) {
    Register({2007, 2008, 2009, 2010, 2011, 2012, 2013, 2014, 2015, 2016,
              2017, 2018, 2019, 2020, 2021, 2022, 2023, 2024, 2025, 2026});
    EXPECT_EQ(expected, RegDump(HKEY_LOCAL_MACHINE, "SOFTWARE\\Autodesk")) << "run " << run;
  }
  EXPECT_EQ("", MarkedYears(inventory.m_bInstallIncomplete));
}

// Each path one character past its 260-byte buffer is left unwritten, never
// cut; one character shorter, it is written.
TEST_F(LoadRegistration, PathsOnePastTheBufferAreNotWritten) {
  ImportReg("REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Autodesk\\AutoCAD\\R2010\\Fits]\n"
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Autodesk\\AutoCAD\\R2010\\Over]\n");
  inventory.m_aProductKeys[3].Add("SOFTWARE\\Autodesk\\AutoCAD\\R2010\\Fits\\");
  inventory.m_aInstallFolders[3].Add(("C:\\" + std::string(242, 'f')).c_str());  // 259 with \ACAD2010P.dll
  inventory.m_aProductKeys[3].Add("SOFTWARE\\Autodesk\\AutoCAD\\R2010\\Over\\");
  inventory.m_aInstallFolders[3].Add(("C:\\" + std::string(243, 'o')).c_str());  // 260
  inventory.SetInstallPath(("C:\\" + std::string(236, 't')).c_str());             // 260 with \TR_RedavIzor2010.ARX
  Register({2010});
  EXPECT_EQ("C:\\" + std::string(242, 'f') + "\\ACAD2010P.dll", Loader("Fits", "Tavrin2010DLLP"));
  EXPECT_EQ("<none>", Loader("Over", "Tavrin2010DLLP"));
  EXPECT_EQ("<none>", Loader("Fits", "TR_RedavIzor2010"));
  inventory.SetInstallPath(("C:\\" + std::string(235, 't')).c_str());
  Register({2010});
  EXPECT_EQ("C:\\" + std::string(235, 't') + "\\TR_RedavIzor2010.ARX", Loader("Fits", "TR_RedavIzor2010"));
}

// Writes refused for lack of rights (Wine does not enforce key permissions).
int g_untilRefused = 0;
LSTATUS WINAPI CreateRefusedOnce(HKEY key, LPCSTR name, PHKEY result) {
  return g_untilRefused-- == 0 ? ERROR_ACCESS_DENIED : (kRealSyscalls.RegCreateKeyA)(key, name, result);
}
LSTATUS WINAPI SetRefusedOnce(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size) {
  return g_untilRefused-- == 0 ? ERROR_ACCESS_DENIED : (kRealSyscalls.RegSetValueExA)(key, name, reserved, type, data, size);
}
LSTATUS WINAPI OpenRefusedFor2014(HKEY key, LPCSTR name, PHKEY result) {
  return name && strstr(name, "R2014") ? ERROR_ACCESS_DENIED : (kRealSyscalls.RegOpenKeyA)(key, name, result);
}

TEST_F(LoadRegistration, ARefusedWriteMarksExactlyItsRelease) {
  // 2010 takes two creates and five sets; the refused call is 2014's first.
  const struct { const char* why; void (*install)(); int untilRefused; } rows[] = {
      {"a subkey refused", [] { g_syscalls.RegCreateKeyA = &CreateRefusedOnce; }, 2},
      {"a value refused", [] { g_syscalls.RegSetValueExA = &SetRefusedOnce; }, 5},
      {"the product key refused", [] { g_syscalls.RegOpenKeyA = &OpenRefusedFor2014; }, 0},
  };
  ImportCase("registration");
  inventory.ScanInstalledReleases();
  const SyscallTable calls = g_syscalls;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Autodesk\\AutoCAD\\R2010\\P\\Applications");
    inventory.m_bInstallIncomplete[2014 - 2007] = false;
    g_untilRefused = row.untilRefused;
    row.install();
    Register({2010, 2014});
    g_syscalls = calls;
    EXPECT_EQ("2014", MarkedYears(inventory.m_bInstallIncomplete));
    EXPECT_EQ("D:\\A2010\\ACAD2010P.dll", Loader("P", "Tavrin2010DLLP")) << "2010 is registered fully";
  }
}

LSTATUS WINAPI ReadRefused(HKEY, LPCSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD) { return ERROR_ACCESS_DENIED; }

// Each profile of a case becomes what the case expects; lists that cannot be
// read are left as they are.
TEST(TrustedPaths, EachProfileBecomesWhatItsCaseExpects) {
  const struct { std::string name, target; bool readRefused; } rows[] = {
      {"trusted_paths", "C:\\Tavrin\\T-RedavIzor", false},
      {"trusted_paths_dbcs", Ansi(u8"C:\\乤\\T-RedavIzor"), false},
      {"trusted_paths", "C:\\Tavrin\\T-RedavIzor", true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name + (row.readRefused ? ", reads refused" : ""));
    Machine machine;
    ImportCase(row.name);
    const std::string before = RegDump(HKEY_CURRENT_USER, "SOFTWARE\\Autodesk");
    if (row.readRefused) g_syscalls.RegQueryValueExA = &ReadRefused;
    CountRegistryHandles();
    CAcadInventory inventory;
    inventory.SetInstallPath(row.target.c_str());
    inventory.AddTrustedPaths();
    EXPECT_EQ(0, OpenRegistryHandles());
    EXPECT_EQ(row.readRefused ? before : CaseFile(row.name + ".expected.txt"), RegDump(HKEY_CURRENT_USER, "SOFTWARE\\Autodesk"));
  }
}

}  // namespace
