// Load registration: under every product key of each selected release, the
// two Applications subkeys from which AutoCAD loads the plug-in at start-up.
#include "acad_inventory.h"
#include "build_settings.h"
#include "registry_keys.h"
#include "registry_values.h"

namespace {

// The numbers in the module file names, by release index. Several releases
// load the same build of a module, so these differ from the release year.
struct ModuleNumbers {
  int arx;
  int dll;
};

const ModuleNumbers kModuleNumbers[kReleaseCount] = {
    {2008, 2007}, {2008, 2007}, {2009, 2009}, {2010, 2010}, {2010, 2010},  // 2007-2011
    {2010, 2010}, {2013, 2013}, {2013, 2013}, {2015, 2013}, {2015, 2013},  // 2012-2016
    {2017, 2013}, {2018, 2013}, {2019, 2013}, {2019, 2013}, {2021, 2013},  // 2017-2021
    {2021, 2013}, {2021, 2013}, {2021, 2013}, {2025, 2013}, {2025, 2013},  // 2022-2026
};

// AutoCAD's demand-load settings: load when AutoCAD starts; a managed module.
constexpr DWORD kLoadOnStartup = 2;
constexpr DWORD kManagedAssembly = 1;

// The release whose 64-bit edition also loads the ARX module named for the
// release before it.
constexpr int kYearWithExtraArx = 2009;
constexpr int kExtraArxYear = 2008;

// Deletes product\<format with year> and creates it again, so that no value
// an earlier install left in it survives. A name that does not fit the path
// buffer is neither deleted nor created. False when the create was refused.
bool RecreateSubkey(HKEY product, const char* format, int year, ScopedRegKey& subkey) {
  char name[kPathBufferSize] = {};
  if (!FormatPath260(name, format, year)) return true;
  RegDeleteKeyA(product, name);
  return RegCreateKeyA(product, name, subkey.Out()) == ERROR_SUCCESS;
}

// "Applications\TR_RedavIzor<keyYear>" loading TR_RedavIzor<arxNumber>.ARX
// from the target folder. A path that does not fit is not written. False
// when a write was refused.
bool WriteArxSubkey(HKEY product, int keyYear, int arxNumber, const CString& targetFolder) {
  ScopedRegKey subkey;
  if (!RecreateSubkey(product, "Applications\\TR_RedavIzor%d", keyYear, subkey)) return false;
  if (!subkey) return true;
  bool written = SetDwordValue(subkey.Get(), "LOADCTRLS", kLoadOnStartup) == ERROR_SUCCESS;
  char loader[kPathBufferSize] = {};
  if (FormatPath260(loader, "%s\\TR_RedavIzor%d.ARX", targetFolder.GetString(), arxNumber))
    written = SetStringValue(subkey.Get(), "LOADER", loader) == ERROR_SUCCESS && written;
  return written;
}

// "Applications\Tavrin<year>DLLP" loading ACAD<dllNumber>P.dll from the
// product's install folder. The folder is taken from the list after
// LOADCTRLS is written: a list shorter than the product-key list raises the
// list's invalid-argument error there, and it passes to the caller. False
// when a write was refused.
bool WriteDllSubkey(HKEY product, int year, int dllNumber, const CStringArray& installFolders, int index) {
  ScopedRegKey subkey;
  bool written = RecreateSubkey(product, "Applications\\Tavrin%dDLLP", year, subkey);
  if (subkey) written = SetDwordValue(subkey.Get(), "LOADCTRLS", kLoadOnStartup) == ERROR_SUCCESS && written;
  const CString& installFolder = installFolders[index];
  if (!subkey) return written;
  char loader[kPathBufferSize] = {};
  if (FormatPath260(loader, "%s\\ACAD%dP.dll", installFolder.GetString(), dllNumber))
    written = SetStringValue(subkey.Get(), "LOADER", loader) == ERROR_SUCCESS && written;
  return SetDwordValue(subkey.Get(), "MANAGED", kManagedAssembly) == ERROR_SUCCESS && written;
}

}  // namespace

void CAcadInventory::RegisterSelectedReleases(int b2007, int b2008, int b2009, int b2010, int b2011, int b2012,
                                              int b2013, int b2014, int b2015, int b2016, int b2017, int b2018,
                                              int b2019, int b2020, int b2021, int b2022, int b2023, int b2024,
                                              int b2025, int b2026) {
  const int selected[kReleaseCount] = {b2007, b2008, b2009, b2010, b2011, b2012, b2013, b2014, b2015, b2016,
                                       b2017, b2018, b2019, b2020, b2021, b2022, b2023, b2024, b2025, b2026};
  for (int index = 0; index < kReleaseCount; ++index)
    if (selected[index] != 0) RegisterRelease(kFirstReleaseYear + index);
  AddTrustedPaths();
}

void CAcadInventory::RegisterRelease(int year) {
  int index = year - kFirstReleaseYear;
  if (index < 0 || index >= kReleaseCount) return;
  const ModuleNumbers& numbers = kModuleNumbers[index];
  const CStringArray& productKeys = m_aProductKeys[index];
  for (int i = 0; i < productKeys.GetSize(); ++i) {
    // The key path ends with a backslash; it names the product key itself.
    // Like every path of the registration it must fit the path buffer: a
    // longer one is skipped whole, as a key that cannot be opened.
    char productKey[kPathBufferSize];
    if (!FormatPath260(productKey, "%s", productKeys[i].GetString())) continue;
    ScopedRegKey product;
    RegOpenKeyA(HKEY_LOCAL_MACHINE, productKey, product.Out());
    // Without the rights to write below HKEY_LOCAL_MACHINE the open fails,
    // or a create or a value is refused: the release is then not loaded.
    bool written = static_cast<bool>(product);
    if (product) {
      written = WriteArxSubkey(product.Get(), year, numbers.arx, m_strInstallPath) && written;
      if (g_nBuildBits == 64 && year == kYearWithExtraArx)
        written = WriteArxSubkey(product.Get(), kExtraArxYear, kExtraArxYear, m_strInstallPath) && written;
      written = WriteDllSubkey(product.Get(), year, numbers.dll, m_aInstallFolders[index], i) && written;
    }
    if (!written) m_bInstallIncomplete[index] = true;
  }
}
