// The start-up scan: the machine of tests/cases/scan.reg against what it
// expects, and registries that fail the scan part-way (through the call table).
#include "acad_inventory.h"
#include "machine.h"

namespace {

// What the scan found, one "year key>folder" line per product in list order.
std::string Found(const CAcadInventory& inventory) {
  std::string text;
  for (int k = 0; k < kReleaseCount; ++k)
    for (int i = 0; i < inventory.m_aProductKeys[k].GetSize(); ++i)
      text += std::to_string(2007 + k) + " " + inventory.m_aProductKeys[k][i].str() + ">" +
              inventory.m_aInstallFolders[k][i].str() + "\n";
  return text;
}

TEST(InventoryScan, FindsExactlyTheProductsOfTheMachine) {
  Machine machine;
  ImportCase("scan");
  CAcadInventory inventory;
  inventory.ScanInstalledReleases();
  EXPECT_EQ(CaseFile("scan.expected.txt"), Found(inventory));
}

// Faults Wine cannot make: a name that cannot be read, a key that cannot be
// opened or read, a key deleted while the scan walks.
int g_calls = 0, g_failAt = 0;
LSTATUS WINAPI EnumFails(HKEY key, DWORD index, LPSTR name, LPDWORD size, LPDWORD a, LPSTR b, LPDWORD c, PFILETIME d) {
  if (g_calls++ == g_failAt) return ERROR_MORE_DATA;
  return (kRealSyscalls.RegEnumKeyExA)(key, index, name, size, a, b, c, d);
}
LSTATUS WINAPI OpenFails(HKEY key, LPCSTR name, DWORD options, REGSAM access, PHKEY result) {
  if (g_calls++ == g_failAt) return ERROR_ACCESS_DENIED;
  return (kRealSyscalls.RegOpenKeyExA)(key, name, options, access, result);
}
LSTATUS WINAPI ReadFails(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size) {
  if (g_calls++ == g_failAt) return ERROR_ACCESS_DENIED;
  return (kRealSyscalls.RegQueryValueExA)(key, name, reserved, type, data, size);
}
LSTATUS WINAPI EnumDeletesR2(HKEY key, DWORD index, LPSTR name, LPDWORD size, LPDWORD a, LPSTR b, LPDWORD c, PFILETIME d) {
  if (g_calls++ == 0) RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Autodesk\\AutoCAD\\R2");
  return (kRealSyscalls.RegEnumKeyExA)(key, index, name, size, a, b, c, d);
}

TEST(InventoryScan, RegistryFailuresCostOnlyWhatFailed) {
  const std::string r1 = "2010 SOFTWARE\\Autodesk\\AutoCAD\\R1\\P\\>C:\\A\n";
  const std::string r2 = "2010 SOFTWARE\\Autodesk\\AutoCAD\\R2\\P\\>C:\\B\n";
  const struct { const char* why; void (*install)(); int failAt; std::string found; } rows[] = {
      {"a release name unreadable: the root is not reopened", [] { g_syscalls.RegEnumKeyExA = &EnumFails; }, 0, r2},
      {"a product name unreadable: no second walk", [] { g_syscalls.RegEnumKeyExA = &EnumFails; }, 1, r2},
      // Opens: the Wow6432Node root (missing), the native root, then R1.
      {"a release key refused", [] { g_syscalls.RegOpenKeyExA = &OpenFails; }, 2, r2},
      // Reads: R1's own AcadLocation (missing), then R1\P's.
      {"a value read refused counts as absent", [] { g_syscalls.RegQueryValueExA = &ReadFails; }, 1, r2},
      {"a release deleted while the scan walks", [] { g_syscalls.RegEnumKeyExA = &EnumDeletesR2; }, 0, r1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    Machine machine;
    ImportCase("two_products");
    CAcadInventory inventory;
    g_calls = 0;
    g_failAt = row.failAt;
    row.install();
    inventory.ScanInstalledReleases();
    EXPECT_EQ(row.found, Found(inventory));
  }
}

}  // namespace
