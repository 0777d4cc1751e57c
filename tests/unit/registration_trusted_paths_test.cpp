// The trusted-path update of the current user's profiles: the cases of
// tests/cases/trusted_paths*.reg against their expected outcome, which
// profiles are reached, and lists that cannot be read.
#include "acad_inventory.h"
#include "machine.h"

namespace {

std::string Expected(const std::string& name) {
  return Ansi(ReadFile(std::string(SETUP_CASES_DIR) + "\\" + name + ".expected.txt").value_or(""));
}

TEST(TrustedPaths, EachProfileBecomesWhatItsCaseExpects) {
  for (const auto& [name, target] : {std::pair<std::string, std::string>{"trusted_paths", "C:\\Tavrin\\T-RedavIzor"},
                                     {"trusted_paths_dbcs", Ansi(u8"C:\\乤\\T-RedavIzor")}}) {
    SCOPED_TRACE(name);
    Machine machine;
    ImportCase(name);
    CAcadInventory inventory;
    inventory.SetInstallPath(target.c_str());
    CountRegistryHandles();
    inventory.AddTrustedPaths();
    EXPECT_EQ(0, OpenRegistryHandles());
    EXPECT_EQ(Expected(name), RegDump(HKEY_CURRENT_USER, "SOFTWARE\\Autodesk"));
  }
}

LSTATUS WINAPI ReadRefused(HKEY, LPCSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD) { return ERROR_ACCESS_DENIED; }

// Every profile of every release and product, a missing Variables key
// created, a product without profiles left; lists that cannot be read are left.
TEST(TrustedPaths, EveryProfileIsReachedAndUnreadableListsAreLeft) {
  Machine machine;
  ImportCase("several_releases");
  CAcadInventory inventory;
  inventory.SetInstallPath("C:\\Tavrin\\T-RedavIzor");
  inventory.AddTrustedPaths();
  const std::string after = RegDump(HKEY_CURRENT_USER, "SOFTWARE\\Autodesk");
  // The user's part of the golden outcome: after the machine's keys, before the files.
  const std::string golden = Expected("several_releases");
  const size_t user = golden.find("\nSOFTWARE\\Autodesk\n", golden.find("\nSOFTWARE\\Autodesk\n") + 1) + 1;
  EXPECT_EQ(golden.substr(user, golden.find("\nC:\\", user) + 1 - user), after);
  g_syscalls.RegQueryValueExA = &ReadRefused;
  inventory.AddTrustedPaths();
  EXPECT_EQ(after, RegDump(HKEY_CURRENT_USER, "SOFTWARE\\Autodesk"));
}

}  // namespace
