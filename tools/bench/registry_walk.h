// Timing the start-up scan in-process, and a single walk of the same keys
// for comparison: each key opened once, both values read in one visit.
#pragma once

namespace bench {

struct ScanTiming {
  double ms = 0;
  long products = 0;  // entries the scan added to the release lists
};

// CAcadInventory::ScanInstalledReleases on a fresh inventory.
ScanTiming TimeProductScan();

struct WalkTiming {
  double ms = 0;
  long products = 0;   // keys holding both values
  long keys = 0;       // keys opened
  long calls = 0;      // registry calls the walk made
};

// Walks both AutoCAD roots once, descending below a key while either value
// is still missing on that branch: the same products found with each key
// opened once.
WalkTiming TimeSingleWalk();

}  // namespace bench
