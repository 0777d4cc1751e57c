// AddTrustedPaths: adds the target folder to TRUSTEDPATHS in every profile of
// every AutoCAD release and product below HKEY_CURRENT_USER, selected or not.
#include "acad_inventory.h"
#include "registry_keys.h"
#include "registry_values.h"
#include "trusted_path_merge.h"
#include "trusted_paths.h"

namespace {

const char kAcadRoot[] = "SOFTWARE\\Autodesk\\AutoCAD";

// The path formatted from format, without one trailing backslash (a whole
// character, never the trail byte of a double-byte one), then suffix.
CString KeyPath(const char* format, const char* parent, const char* name, const char* suffix) {
  CString path;
  path.Format(format, parent, name);
  DropTrailingBackslash(path);
  path += suffix;
  return path;
}

// Phase 1: "<AutoCAD>\<release>\<product>\Profiles" of every product key.
void CollectProfilesKeys(CStringArray& profilesKeys) {
  ScopedRegKey user;
  if (RegOpenKeyA(HKEY_CURRENT_USER, nullptr, user.Out()) != ERROR_SUCCESS) return;
  ScopedRegKey acad;
  if (RegOpenKeyExA(user.Get(), kAcadRoot, 0, KEY_READ, acad.Out()) != ERROR_SUCCESS) return;
  ForEachSubkey(acad.Get(), [&](const char* releaseName) {
    ScopedRegKey release;
    if (RegOpenKeyExA(acad.Get(), releaseName, 0, KEY_READ, release.Out()) != ERROR_SUCCESS) return;
    CStringArray productNames;
    ListSubkeys(release.Get(), productNames);
    for (int i = 0; i < productNames.GetSize(); ++i)
      profilesKeys.Add(KeyPath("SOFTWARE\\Autodesk\\AutoCAD\\%s\\%s", releaseName, productNames[i], "\\Profiles"));
  });
}

// Phase 2: "<Profiles key>\<profile>\Variables" of every profile.
void CollectVariablesKeys(const CStringArray& profilesKeys, CStringArray& variablesKeys) {
  ScopedRegKey user;
  if (RegOpenKeyA(HKEY_CURRENT_USER, nullptr, user.Out()) != ERROR_SUCCESS) return;
  for (int i = 0; i < profilesKeys.GetSize(); ++i) {
    // A product without profiles has no Profiles key.
    ScopedRegKey profiles;
    if (RegOpenKeyExA(user.Get(), profilesKeys[i], 0, KEY_READ, profiles.Out()) != ERROR_SUCCESS) continue;
    CStringArray profileNames;
    ListSubkeys(profiles.Get(), profileNames);
    for (int j = 0; j < profileNames.GetSize(); ++j)
      variablesKeys.Add(KeyPath("%s\\%s", profilesKeys[i], profileNames[j], "\\Variables"));
  }
}

// Phase 3, one profile: the list is read and written back through one
// handle, with the type it was read with, even when the folder was already
// there; the Variables key is created when the profile has none. A list that
// cannot be read whole and exactly, or that would grow too long for the
// buffer, is left exactly as it was.
void UpdateTrustedPaths(const char* variablesKey, const CString& folder) {
  ScopedRegKey variables;
  RegCreateKeyA(HKEY_CURRENT_USER, variablesKey, variables.Out());
  if (!variables) return;
  CString current;
  DWORD type = REG_SZ;
  if (!ReadTrustedPaths(variables.Get(), current, type)) return;
  char merged[kTextBufferSize];
  if (!MergeTrustedPaths(current, folder, merged)) return;
  SetStringValue(variables.Get(), "TRUSTEDPATHS", merged, type);
}

}  // namespace

void ListSubkeys(HKEY key, CStringArray& list) {
  ForEachSubkey(key, [&](const char* name) {
    ScopedRegKey subkey;
    if (RegOpenKeyExA(key, name, 0, KEY_READ, subkey.Out()) == ERROR_SUCCESS) list.Add(name);
  });
}

void CAcadInventory::AddTrustedPaths() {
  CStringArray profilesKeys;
  CollectProfilesKeys(profilesKeys);
  CStringArray variablesKeys;
  CollectVariablesKeys(profilesKeys, variablesKeys);
  for (int i = 0; i < variablesKeys.GetSize(); ++i) UpdateTrustedPaths(variablesKeys[i], m_strInstallPath);
}
