// The start-up scan: finds every installed AutoCAD product below the two
// AutoCAD roots of HKEY_LOCAL_MACHINE and files it under its release, which
// the year in its ProductName tells.
#include <cstring>

#include "acad_inventory.h"
#include "registry_enumeration.h"

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
  HKEY machine = nullptr;
  if (RegOpenKeyA(HKEY_LOCAL_MACHINE, nullptr, &machine) != ERROR_SUCCESS) return;
  HKEY root = nullptr;
  if (RegOpenKeyExA(machine, rootPath, 0, KEY_READ, &root) != ERROR_SUCCESS) {
    RegCloseKey(machine);
    return;
  }
  DWORD releaseKeyCount = SubkeyCount(root);
  for (DWORD index = 0; index < releaseKeyCount; ++index) {
    char releaseName[kKeyNameBufferSize];
    SubkeyName(root, index, releaseName);
    // An empty name would reopen the root itself: skip the index.
    if (releaseName[0] == '\0') continue;
    CString basePath;
    basePath.Format(basePathFormat, releaseName);
    HKEY release = nullptr;
    if (RegOpenKeyExA(root, releaseName, 0, KEY_READ, &release) != ERROR_SUCCESS) continue;

    m_aFoundKeys.RemoveAll();
    m_aFoundValues.RemoveAll();
    m_strValueName = "AcadLocation";
    FindValueInTree(release, "", CString(), basePath);
    CStringArray locationKeys, locationTexts;
    locationKeys.Copy(m_aFoundKeys);
    locationTexts.Copy(m_aFoundValues);

    m_aFoundKeys.RemoveAll();
    m_aFoundValues.RemoveAll();
    m_strValueName = "ProductName";
    FindValueInTree(release, "", CString(), basePath);
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
    RegCloseKey(release);
  }
  RegCloseKey(root);
  RegCloseKey(machine);
}

void CAcadInventory::FindValueInTree(HKEY parent, const char* subkeyName, CString relativePath, CString basePath) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(parent, subkeyName, 0, KEY_READ, &key) != ERROR_SUCCESS) return;

  DWORD type = REG_SZ;
  BYTE data[kDataBufferSize];
  DWORD size = kDataBufferSize;
  if (RegQueryValueExA(key, m_strValueName, nullptr, &type, data, &size) == ERROR_SUCCESS) {
    m_aFoundKeys.Add(basePath + relativePath);
    // The text up to its first zero byte, never beyond the bytes read.
    m_aFoundValues.Add(CString(reinterpret_cast<const char*>(data), static_cast<int>(size)));
    RegCloseKey(key);
    return;
  }

  DWORD subkeyCount = SubkeyCount(key);
  for (DWORD index = 0; index < subkeyCount; ++index) {
    char name[kKeyNameBufferSize];
    SubkeyName(key, index, name);
    // An empty name would search this key's subtree a second time: skip it.
    if (name[0] == '\0') continue;
    FindValueInTree(key, name, relativePath + name + "\\", basePath);
  }
  RegCloseKey(key);
}
