// The benchmark machines' AutoCAD keys: release keys named as AutoCAD names
// them, with their product keys; on the ordinary machine the settings keys
// below each product, on the large one groups of settings keys beside them.
#include "registry_layout.h"

#include <cstdarg>
#include <cstdio>
#include <unordered_map>

namespace bench {
namespace {

// The large machine: groups per release key and scale unit, and settings
// keys per group: 40 * (1 + 49) = 2,000 further keys.
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

struct Product {
  const char* code;
  const char* name;
};

const Product kProducts[] = {{"001", "AutoCAD"}, {"004", "AutoCAD Architecture"}, {"005", "AutoCAD Mechanical"}};

// The ordinary machine: these releases, the first two products of each.
const int kOrdinaryYears[] = {2010, 2012, 2014, 2016, 2018, 2020};
constexpr int kOrdinaryProducts = 2;

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

void VisitRelease(const std::string& releasePath, const Release& release, const KeyVisitor& visit) {
  visit({releasePath, {{"CurVer", Text("ACAD-%c001:804", release.productLetter)}}});
}

std::string ProductFolder(const Release& release, const Product& product) {
  return Text("C:\\Program Files\\Autodesk\\%s %d\\", product.name, release.year);
}

// A product key and the two values that make it one; returns its path.
std::string VisitProduct(const std::string& releasePath, const Release& release, const Product& product,
                         const KeyVisitor& visit) {
  std::string path = releasePath + Text("\\ACAD-%c%s:804", release.productLetter, product.code);
  visit({path,
         {{"AcadLocation", ProductFolder(release, product)},
          {"ProductName", Text("%s %d - Simplified Chinese", product.name, release.year)},
          {"Language", "Simplified Chinese"},
          {"SerialNumber", "000-00000000"}}});
  return path;
}

// The keys AutoCAD keeps below a product key of HKEY_LOCAL_MACHINE: the
// demand-loaded applications, the file dialog's extensions, the install's
// own records and the like, a few values each.
void VisitProductSettings(const std::string& productPath, const Release& release, const Product& product,
                          const KeyVisitor& visit) {
  const std::string folder = ProductFolder(release, product), year = std::to_string(release.year);
  visit({productPath + "\\AdLM",
         {{"LicenseType", "Stand-alone"}, {"ProductKey", Text("%s%c1", product.code, release.productLetter)}}});
  visit({productPath + "\\Applications", {}});
  const char* const applications[][3] = {{"AcadVBA", "AutoCAD VBA", "acvba.arx"},
                                         {"AcDgnLS", "DGN Linestyle support", "AcDgnLS.dbx"},
                                         {"AcIdViewObj", "i-drop content", "AcIdViewObj.dbx"}};
  for (const auto& application : applications)
    visit({productPath + "\\Applications\\" + application[0],
           {{"DESCRIPTION", application[1]}, {"LOADCTRLS", "14"}, {"LOADER", folder + application[2]}}});
  visit({productPath + "\\AutodeskApps", {{"Path", folder + "AutodeskApps\\"}, {"Enabled", "1"}}});
  visit({productPath + "\\Capabilities",
         {{"ApplicationName", product.name},
          {"ApplicationDescription", Text("%s %d", product.name, release.year)},
          {"ApplicationIcon", folder + "acad.exe,0"}}});
  visit({productPath + "\\Components", {{"ACAD", "1"}, {"Express Tools", "1"}, {"Samples", "0"}}});
  visit({productPath + "\\FileNavExtensions",
         {{"ACPROJECT", "AcPp.FileNavExtension"}, {"ACSHEETSET", "AcSm.FileNavExtension"}}});
  visit({productPath + "\\Install",
         {{"InstallFolder", folder},
          {"InstallDate", year + "-03-14"},
          {"ProductCode", Text("{5783F2D7-%c%s-0804-0000-7107D70F3DB4}", release.productLetter, product.code)}}});
  visit({productPath + "\\Language Packs", {{"0804", "Simplified Chinese"}}});
  visit({productPath + "\\Migration", {{"MigrationDone", "1"}, {"Source", ""}}});
  visit({productPath + "\\ObjectDBX", {{"ObjectDBXPath", folder}, {"Version", release.key + 1}}});
  visit({productPath + "\\SpecialFolders",
         {{"Support", folder + "Support\\"}, {"Fonts", folder + "Fonts\\"}, {"Drv", folder + "Drv\\"}}});
}

}  // namespace

const char kAcadRootPath[] = "SOFTWARE\\Autodesk\\AutoCAD";

Layout OrdinaryLayout() {
  return [](const std::string& root, const KeyVisitor& visit) {
    visit({root, {}});
    for (const Release& release : kReleases) {
      bool installed = false;
      for (int year : kOrdinaryYears) installed = installed || year == release.year;
      if (!installed) continue;
      std::string releasePath = root + "\\" + release.key;
      VisitRelease(releasePath, release, visit);
      for (int i = 0; i < kOrdinaryProducts; ++i) {
        const Product& product = kProducts[i];
        VisitProductSettings(VisitProduct(releasePath, release, product, visit), release, product, visit);
      }
    }
  };
}

Layout LargeLayout(int scale, int fromScale) {
  return [scale, fromScale](const std::string& root, const KeyVisitor& visit) {
    if (fromScale <= 0) visit({root, {}});
    for (const Release& release : kReleases) {
      std::string releasePath = root + "\\" + release.key;
      if (fromScale <= 0) {
        VisitRelease(releasePath, release, visit);
        for (const Product& product : kProducts) VisitProduct(releasePath, release, product, visit);
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
  };
}

namespace {

struct TreeKey {
  bool hasLocation = false;
  bool hasName = false;
  std::vector<size_t> children;
};

// The calls of one FindValueInTree walk for one value name through a key and
// what lies below it: open, value read and close, and where the value is
// missing the subkey count and, per subkey, its enumeration and its walk.
long WalkCalls(const std::vector<TreeKey>& tree, size_t at, bool location) {
  const TreeKey& key = tree[at];
  if (location ? key.hasLocation : key.hasName) return 3;
  long calls = 4;
  for (size_t child : key.children) calls += 1 + WalkCalls(tree, child, location);
  return calls;
}

}  // namespace

LayoutSize SizeOfLayout(const Layout& layout) {
  LayoutSize size;
  std::vector<TreeKey> tree;
  std::unordered_map<std::string, size_t> byPath;
  layout(kAcadRootPath, [&](const LayoutKey& key) {
    ++size.keys;
    size.values += static_cast<long>(key.values.size());
    TreeKey node;
    for (const auto& value : key.values) {
      node.hasLocation = node.hasLocation || value.first == "AcadLocation";
      node.hasName = node.hasName || value.first == "ProductName";
    }
    if (node.hasLocation && node.hasName) ++size.products;
    tree.push_back(node);
    size_t slash = key.path.rfind('\\');
    if (slash != std::string::npos) {
      auto parent = byPath.find(key.path.substr(0, slash));
      if (parent != byPath.end()) tree[parent->second].children.push_back(tree.size() - 1);
    }
    byPath.emplace(key.path, tree.size() - 1);
  });
  // The missing Wow6432Node root: HKEY_LOCAL_MACHINE opened and closed, the
  // root's open failing. The native root: HKEY_LOCAL_MACHINE opened and
  // closed, the root opened, counted and closed; per release key its name
  // read, the key opened and closed, and the two walks (AcadLocation, then
  // ProductName) starting from it.
  size.scanCalls = 3 + 5;
  if (!tree.empty())
    for (size_t release : tree[0].children)
      size.scanCalls += 1 + 2 + WalkCalls(tree, release, true) + WalkCalls(tree, release, false);
  return size;
}

}  // namespace bench
