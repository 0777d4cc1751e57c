// The start-up scan: the machine of tests/cases/scan.reg against what it
// expects (what it loses when a call is refused is the fault sweep's).
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

}  // namespace
