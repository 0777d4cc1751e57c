// The start-up scan: the machine of tests/cases/scan.reg against what it
// expects, and a release deleted while the scan walks.
#include "acad_inventory.h"
#include "machine.h"

namespace {

TEST(InventoryScan, FindsExactlyTheProductsOfTheMachine) {
  Machine machine;
  ImportCase("scan");
  CAcadInventory inventory;
  inventory.ScanInstalledReleases();
  EXPECT_EQ(Ansi(CaseFile("scan.expected.txt")), Found(inventory));
}

// A release deleted while the scan walks (the call table deletes it when the
// walk begins) costs that release only. Refused calls are the fault sweep's.
LSTATUS WINAPI EnumDeletesR2(HKEY key, DWORD index, LPSTR name, LPDWORD size, LPDWORD a, LPSTR b, LPDWORD c, PFILETIME d) {
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Autodesk\\AutoCAD\\R2");
  return (kRealSyscalls.RegEnumKeyExA)(key, index, name, size, a, b, c, d);
}

TEST(InventoryScan, AReleaseDeletedWhileTheScanWalksCostsOnlyItself) {
  Machine machine;
  ImportCase("two_products");
  g_syscalls.RegEnumKeyExA = &EnumDeletesR2;
  CAcadInventory inventory;
  inventory.ScanInstalledReleases();
  EXPECT_EQ("2010 SOFTWARE\\Autodesk\\AutoCAD\\R1\\P\\>C:\\A\n", Found(inventory));
}

}  // namespace
