// The AutoCAD registries of the start-up benchmark, below
// HKLM\SOFTWARE\Autodesk\AutoCAD:
//   ordinary  what a real machine has: 6 release keys, 2 product keys in
//             each and nothing else beside them, and below each product key
//             the settings keys AutoCAD keeps there, which the scan never
//             visits (it stops at a key that holds the value it looks for)
//   large     20 release keys, three products in each, and 2,000 further
//             keys per release key and scale unit beside the products, which
//             hold neither value the scan looks for, so that the scan walks
//             them all: no machine looks like this, it shows how the scan
//             grows with the keys it has to pass through
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace bench {

extern const char kAcadRootPath[];  // "SOFTWARE\Autodesk\AutoCAD"

struct LayoutKey {
  std::string path;  // below HKEY_LOCAL_MACHINE, parents before children
  std::vector<std::pair<std::string, std::string>> values;  // name, text (REG_SZ)
};
using KeyVisitor = std::function<void(const LayoutKey&)>;

// A layout visits its keys, parents first and in a fixed order, with their
// paths below `root` (kAcadRootPath, or another key for a copy of the same
// shape).
using Layout = std::function<void(const std::string& root, const KeyVisitor& visit)>;

// The ordinary machine: releases 2010, 2012, 2014, 2016, 2018 and 2020,
// AutoCAD and AutoCAD Architecture of each.
Layout OrdinaryLayout();

// The large machine at this scale (1 for about 2,000 further keys per
// release key). With fromScale > 0 only the keys that the layout at this
// scale adds to the one at fromScale.
Layout LargeLayout(int scale, int fromScale = 0);

// How many keys and values a layout has, how many products (keys holding
// both AcadLocation and ProductName), and how many registry calls the
// start-up scan (CAcadInventory::ScanInstalledReleases) makes on it: per
// walk and key open, value read and close, and for a key without the value
// the subkey count and one enumeration per subkey; per release key one name
// read, open and close, and two walks.
struct LayoutSize {
  long keys = 0;
  long values = 0;
  long products = 0;
  long scanCalls = 0;
};
LayoutSize SizeOfLayout(const Layout& layout);

}  // namespace bench
