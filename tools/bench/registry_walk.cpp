// The start-up scan timed in-process, and the single walk it is compared with.
#include "clock.h"
#include "registry_walk.h"

#include <windows.h>

#include "acad_inventory.h"

namespace bench {
namespace {

bool HasValue(HKEY key, const char* name, WalkTiming& timing) {
  BYTE data[256];
  DWORD size = sizeof data;
  ++timing.calls;
  return RegQueryValueExA(key, name, nullptr, nullptr, data, &size) == ERROR_SUCCESS;
}

// One visit of parent\name: both values read, the subkeys visited while
// either value is still missing on this branch.
void Visit(HKEY parent, const char* name, bool wantLocation, bool wantName, WalkTiming& timing) {
  HKEY key = nullptr;
  ++timing.calls;
  if (RegOpenKeyExA(parent, name, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  ++timing.keys;
  bool hasLocation = wantLocation && HasValue(key, "AcadLocation", timing);
  bool hasName = wantName && HasValue(key, "ProductName", timing);
  if (hasLocation && hasName) ++timing.products;
  bool searchLocation = wantLocation && !hasLocation;
  bool searchName = wantName && !hasName;

  DWORD subkeys = 0;
  if (searchLocation || searchName) {
    ++timing.calls;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                     nullptr);
  }
  for (DWORD index = 0; index < subkeys; ++index) {
    char child[256];
    DWORD size = sizeof child;
    ++timing.calls;
    if (RegEnumKeyExA(key, index, child, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) continue;
    Visit(key, child, searchLocation, searchName, timing);
  }
  ++timing.calls;
  RegCloseKey(key);
}

// A root as the scan takes it: its release keys one by one.
void WalkRoot(const char* rootPath, WalkTiming& timing) {
  HKEY root = nullptr;
  ++timing.calls;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, rootPath, 0, KEY_READ, &root) != ERROR_SUCCESS) return;
  DWORD releases = 0;
  ++timing.calls;
  RegQueryInfoKeyA(root, nullptr, nullptr, nullptr, &releases, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                   nullptr);
  for (DWORD index = 0; index < releases; ++index) {
    char name[256];
    DWORD size = sizeof name;
    ++timing.calls;
    if (RegEnumKeyExA(root, index, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) continue;
    Visit(root, name, true, true, timing);
  }
  ++timing.calls;
  RegCloseKey(root);
}

}  // namespace

ScanTiming TimeProductScan() {
  CAcadInventory inventory;
  ScanTiming timing;
  double start = NowMs();
  inventory.ScanInstalledReleases();
  timing.ms = NowMs() - start;
  for (const CStringArray& keys : inventory.m_aProductKeys) timing.products += keys.GetSize();
  return timing;
}

WalkTiming TimeSingleWalk() {
  WalkTiming timing;
  double start = NowMs();
  WalkRoot("SOFTWARE\\Wow6432Node\\Autodesk\\AutoCAD", timing);
  WalkRoot("SOFTWARE\\Autodesk\\AutoCAD", timing);
  timing.ms = NowMs() - start;
  return timing;
}

}  // namespace bench
