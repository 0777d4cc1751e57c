// What the install writes to the registry, in both editions (this file also
// runs with the 64-bit edition's settings): load registration, and the
// trusted paths of the user's profiles.
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
  EXPECT_EQ("", IncompleteYears(inventory.m_incomplete));
}

// A subkey whose module path is one character past its 260-byte buffer is
// not written at all (AutoCAD would load by a LOADCTRLS without a LOADER),
// never cut, and its release is incomplete; one character shorter, it is.
TEST_F(LoadRegistration, PathsOnePastTheBufferAreNotWritten) {
  const std::string r2010 = "SOFTWARE\\Autodesk\\AutoCAD\\R2010\\";
  ImportReg("REGEDIT4\n[HKEY_LOCAL_MACHINE\\" + r2010 + "Fits]\n[HKEY_LOCAL_MACHINE\\" + r2010 + "Over]\n");
  inventory.m_aProductKeys[3].Add((r2010 + "Fits\\").c_str());
  inventory.m_aInstallFolders[3].Add(("C:\\" + std::string(242, 'f')).c_str());  // 259 with \ACAD2010P.dll
  inventory.m_aProductKeys[3].Add((r2010 + "Over\\").c_str());
  inventory.m_aInstallFolders[3].Add(("C:\\" + std::string(243, 'o')).c_str());  // 260
  inventory.SetInstallPath(("C:\\" + std::string(236, 't')).c_str());             // 260 with \TR_RedavIzor2010.ARX
  Register({2010});
  EXPECT_EQ("C:\\" + std::string(242, 'f') + "\\ACAD2010P.dll", Loader("Fits", "Tavrin2010DLLP"));
  EXPECT_EQ("", RegDump(HKEY_LOCAL_MACHINE, r2010 + "Over\\Applications\\Tavrin2010DLLP"));
  EXPECT_EQ("", RegDump(HKEY_LOCAL_MACHINE, r2010 + "Fits\\Applications\\TR_RedavIzor2010"));
  EXPECT_EQ("2010 error 206, ", IncompleteYears(inventory.m_incomplete));
  inventory.SetInstallPath(("C:\\" + std::string(235, 't')).c_str());
  Register({2010});
  EXPECT_EQ("C:\\" + std::string(235, 't') + "\\TR_RedavIzor2010.ARX", Loader("Fits", "TR_RedavIzor2010"));
}

// Each profile of a case becomes what the case expects.
TEST(TrustedPaths, EachProfileBecomesWhatItsCaseExpects) {
  for (const auto& [name, target] : {std::pair<std::string, std::string>{"trusted_paths", "C:\\Tavrin\\T-RedavIzor"},
                                     {"trusted_paths_dbcs", Ansi(u8"C:\\乤\\T-RedavIzor")}}) {
    Machine machine;
    ImportCase(name);
    CAcadInventory inventory;
    inventory.SetInstallPath(target.c_str());
    inventory.AddTrustedPaths();
    EXPECT_EQ(CaseFile(name + ".expected.txt"), RegDump(HKEY_CURRENT_USER, "SOFTWARE\\Autodesk")) << name;
  }
}

}  // namespace
