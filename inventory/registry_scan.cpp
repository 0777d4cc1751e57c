// The start-up scan: finds every installed AutoCAD product below the two
// AutoCAD roots of HKEY_LOCAL_MACHINE and files it under its release, which
// the year in its ProductName tells.
#include <cstring>

#include "acad_inventory.h"
#include "registry_keys.h"

namespace {

constexpr int kDataBufferSize = 256;

const char kWowRoot[] = "SOFTWARE\\Wow6432Node\\Autodesk\\AutoCAD";
const char kWowBaseFormat[] = "SOFTWARE\\Wow6432Node\\Autodesk\\AutoCAD\\%s\\";
const char kNativeRoot[] = "SOFTWARE\\Autodesk\\AutoCAD";
const char kNativeBaseFormat[] = "SOFTWARE\\Autodesk\\AutoCAD\\%s\\";

// The first year of `years` whose four digits first occur at position 1 or
// later of productName; 0 when none does.
int ReleaseYearOf(const CString& productName, const std::vector<int>& years) {
  for (int year : years) {
    CString digits;
    digits.Format("%d", year);
    if (productName.Find(digits) >= 1) return year;
  }
  return 0;
}

}  // namespace

void CAcadInventory::ScanInstalledReleases() {
  std::vector<int> wowYears, allYears;
  for (const AcadRelease& release : kAcadReleases) {
    if (release.scanWow6432Node) wowYears.push_back(release.year);
    allYears.push_back(release.year);
  }
  ScanAcadRoot(kWowRoot, kWowBaseFormat, wowYears);
  ScanAcadRoot(kNativeRoot, kNativeBaseFormat, allYears);
}

void CAcadInventory::ScanAcadRoot(const char* rootPath, const char* basePathFormat, const std::vector<int>& years) {
  ScopedRegKey machine;
  if (RegOpenKeyA(HKEY_LOCAL_MACHINE, nullptr, machine.Out()) != ERROR_SUCCESS) return;
  ScopedRegKey root;
  if (RegOpenKeyExA(machine.Get(), rootPath, 0, KEY_READ, root.Out()) != ERROR_SUCCESS) return;
  ForEachSubkey(root.Get(), [&](const char* releaseName) {
    CString basePath;
    basePath.Format(basePathFormat, releaseName);
    ScopedRegKey release;
    if (RegOpenKeyExA(root.Get(), releaseName, 0, KEY_READ, release.Out()) != ERROR_SUCCESS) return;

    m_aFoundKeys.RemoveAll();
    m_aFoundValues.RemoveAll();
    m_strValueName = "AcadLocation";
    FindValueInTree(release.Get(), "", CString(), basePath);
    CStringArray locationKeys, locationTexts;
    locationKeys.Copy(m_aFoundKeys);
    locationTexts.Copy(m_aFoundValues);

    m_aFoundKeys.RemoveAll();
    m_aFoundValues.RemoveAll();
    m_strValueName = "ProductName";
    FindValueInTree(release.Get(), "", CString(), basePath);
    CStringArray nameKeys, nameTexts;
    nameKeys.Copy(m_aFoundKeys);
    nameTexts.Copy(m_aFoundValues);

    // A product is a key that holds both values.
    for (int i = 0; i < locationKeys.GetSize(); ++i) {
      CString installFolder = locationTexts[i];
      RemoveTrailingBackslash(installFolder);
      for (int j = 0; j < nameKeys.GetSize(); ++j) {
        if (locationKeys[i] != nameKeys[j]) continue;
        int year = ReleaseYearOf(nameTexts[j], years);
        if (year == 0) continue;
        int releaseIndex = year - kFirstReleaseYear;
        m_aProductKeys[releaseIndex].Add(locationKeys[i]);
        m_aInstallFolders[releaseIndex].Add(installFolder);
      }
    }
  });
}

void CAcadInventory::FindValueInTree(HKEY parent, const char* subkeyName, CString relativePath, CString basePath) {
  ScopedRegKey key;
  if (RegOpenKeyExA(parent, subkeyName, 0, KEY_READ, key.Out()) != ERROR_SUCCESS) return;

  DWORD type = REG_SZ;
  BYTE data[kDataBufferSize];
  DWORD size = kDataBufferSize;
  if (RegQueryValueExA(key.Get(), m_strValueName, nullptr, &type, data, &size) == ERROR_SUCCESS) {
    m_aFoundKeys.Add(basePath + relativePath);
    // The text up to its first zero byte, never beyond the bytes read.
    m_aFoundValues.Add(CString(reinterpret_cast<const char*>(data), static_cast<int>(size)));
    return;
  }
  ForEachSubkey(key.Get(),
                [&](const char* name) { FindValueInTree(key.Get(), name, relativePath + name + "\\", basePath); });
}
