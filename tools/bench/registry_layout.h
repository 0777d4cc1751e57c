// The AutoCAD registry of a large machine, for the start-up benchmark: 20
// release keys below HKLM\SOFTWARE\Autodesk\AutoCAD, three products in each,
// and 2,000 further keys per release key and scale unit beside them, which
// hold neither value the scan looks for, so that the scan walks them all.
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

// Visits every key of the layout at this scale (1 for about 2,000 further
// keys per release key), parents first, in a fixed order, with its path below
// `root` (kAcadRootPath, or another key for a copy of the same shape). With
// fromScale > 0 only the keys that the layout at this scale adds to the one
// at fromScale are visited.
void ForEachLayoutKey(int scale, int fromScale, const std::string& root,
                      const std::function<void(const LayoutKey&)>& visit);

// How many keys and values the layout has at this scale, and how many
// registry calls the start-up scan makes on it: per walk and key open, value
// read and close, and for a key without the value the subkey count and one
// enumeration per subkey; per release key one name read, open and close.
struct LayoutSize {
  long keys = 0;
  long values = 0;
  long products = 0;
  long scanCalls = 0;
};
LayoutSize SizeOfLayout(int scale);

}  // namespace bench
