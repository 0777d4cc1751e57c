// The trusted-path update of the current user's profiles: the cases of
// tests/cases/trusted_paths*.reg against their expected outcome, and lists
// that cannot be read. That every profile of every release is reached shows
// in the golden install.
#include "acad_inventory.h"
#include "machine.h"

namespace {

void AddTrustedPaths(const std::string& target) {
  CAcadInventory inventory;
  inventory.SetInstallPath(target.c_str());
  inventory.AddTrustedPaths();
}

TEST(TrustedPaths, EachProfileBecomesWhatItsCaseExpects) {
  for (const auto& [name, target] : {std::pair<std::string, std::string>{"trusted_paths", "C:\\Tavrin\\T-RedavIzor"},
                                     {"trusted_paths_dbcs", Ansi(u8"C:\\乤\\T-RedavIzor")}}) {
    SCOPED_TRACE(name);
    Machine machine;
    ImportCase(name);
    CountRegistryHandles();
    AddTrustedPaths(target);
    EXPECT_EQ(0, OpenRegistryHandles());
    EXPECT_EQ(CaseFile(name + ".expected.txt"), RegDump(HKEY_CURRENT_USER, "SOFTWARE\\Autodesk"));
  }
}

LSTATUS WINAPI ReadRefused(HKEY, LPCSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD) { return ERROR_ACCESS_DENIED; }

TEST(TrustedPaths, ListsThatCannotBeReadAreLeft) {
  Machine machine;
  ImportCase("trusted_paths");
  const std::string before = RegDump(HKEY_CURRENT_USER, "SOFTWARE\\Autodesk");
  g_syscalls.RegQueryValueExA = &ReadRefused;
  AddTrustedPaths("C:\\Tavrin\\T-RedavIzor");
  EXPECT_EQ(before, RegDump(HKEY_CURRENT_USER, "SOFTWARE\\Autodesk"));
}

}  // namespace
