// The large machine's AutoCAD keys: release keys named as AutoCAD names
// them, three products each, and groups of settings keys beside them.
#include "registry_layout.h"

#include <cstdarg>
#include <cstdio>

namespace bench {
namespace {

// Groups per release key and scale unit, and settings keys per group:
// 40 * (1 + 49) = 2,000 further keys.
constexpr int kGroupsPerScale = 40;
constexpr int kSettingsPerGroup = 49;

struct Release {
  int year;
  const char* key;
  char productLetter;
};

const Release kReleases[] = {
    {2007, "R17.0", '5'}, {2008, "R17.1", '6'}, {2009, "R17.2", '7'}, {2010, "R18.0", '8'},
    {2011, "R18.1", '9'}, {2012, "R18.2", 'A'}, {2013, "R19.0", 'B'}, {2014, "R19.1", 'D'},
    {2015, "R20.0", 'E'}, {2016, "R20.1", 'F'}, {2017, "R21.0", '0'}, {2018, "R22.0", '1'},
    {2019, "R23.0", '2'}, {2020, "R23.1", '3'}, {2021, "R24.0", '4'}, {2022, "R24.1", '5'},
    {2023, "R24.2", '6'}, {2024, "R24.3", '7'}, {2025, "R25.0", '8'}, {2026, "R25.1", '9'}};

const struct {
  const char* code;
  const char* name;
} kProducts[] = {{"001", "AutoCAD"}, {"004", "AutoCAD Architecture"}, {"005", "AutoCAD Mechanical"}};

std::string Text(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Text(const char* format, ...) {
  va_list args, again;
  va_start(args, format);
  va_copy(again, args);
  int length = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  std::string text(length > 0 ? static_cast<size_t>(length) : 0, '\0');
  std::vsnprintf(&text[0], text.size() + 1, format, again);
  va_end(again);
  return text;
}

}  // namespace

const char kAcadRootPath[] = "SOFTWARE\\Autodesk\\AutoCAD";

void ForEachLayoutKey(int scale, int fromScale, const std::string& root,
                      const std::function<void(const LayoutKey&)>& visit) {
  if (fromScale <= 0) visit({root, {}});
  for (const Release& release : kReleases) {
    std::string releasePath = root + "\\" + release.key;
    if (fromScale <= 0) {
      visit({releasePath, {{"CurVer", Text("ACAD-%c001:804", release.productLetter)}}});
      for (const auto& product : kProducts)
        visit({releasePath + Text("\\ACAD-%c%s:804", release.productLetter, product.code),
               {{"AcadLocation", Text("C:\\Program Files\\Autodesk\\%s %d\\", product.name, release.year)},
                {"ProductName", Text("%s %d - Simplified Chinese", product.name, release.year)},
                {"Language", "Simplified Chinese"},
                {"SerialNumber", "000-00000000"}}});
    }
    for (int group = kGroupsPerScale * (fromScale > 0 ? fromScale : 0) + 1; group <= kGroupsPerScale * scale;
         ++group) {
      std::string groupPath = releasePath + Text("\\Component%03d", group);
      visit({groupPath, {{"Version", Text("%d.%d", release.year, group)}}});
      for (int setting = 1; setting <= kSettingsPerGroup; ++setting)
        visit({groupPath + Text("\\Setting%02d", setting),
               {{"Value", Text("setting %d of component %d", setting, group)}, {"Enabled", "1"}}});
    }
  }
}

LayoutSize SizeOfLayout(int scale) {
  LayoutSize size;
  ForEachLayoutKey(scale, 0, kAcadRootPath, [&](const LayoutKey& key) {
    ++size.keys;
    size.values += static_cast<long>(key.values.size());
    for (const auto& value : key.values)
      if (value.first == "ProductName") ++size.products;
  });
  // Both walks stop at a product key (3 calls each) and pass through every
  // other key below a release key (4 calls plus one per subkey, each).
  const long groups = kGroupsPerScale * scale, products = sizeof kProducts / sizeof kProducts[0];
  const long releaseKey = 3 + 2 * (4 + products + groups);
  const long perRelease = releaseKey + products * 6 + groups * 2 * (4 + kSettingsPerGroup) +
                          groups * kSettingsPerGroup * 2 * 4;
  const long releases = sizeof kReleases / sizeof kReleases[0];
  // The native root: HKEY_LOCAL_MACHINE opened and closed, the root opened,
  // counted and closed; the missing Wow6432Node root: three calls.
  size.scanCalls = 5 + 3 + releases * perRelease;
  return size;
}

}  // namespace bench
