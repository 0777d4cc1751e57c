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

// The first error of a subkey's writes: each value is written even after
// one was refused, so that as much as possible of the registration stands.
void Keep(LSTATUS& first, LSTATUS status) {
  if (first == ERROR_SUCCESS) first = status;
}

// Deletes product\name and creates it again, so that no value an earlier
// install left in it survives, and writes LOADCTRLS and LOADER (and
// MANAGED for a managed module) into it. Both texts were formed before
// anything is touched: a subkey whose name or module path does not fit its
// buffer is not written at all, as AutoCAD would try to load a module of
// LOADCTRLS without a LOADER. The first error, ERROR_SUCCESS when every
// write went through.
LSTATUS WriteSubkey(HKEY product, bool formed, const char* name, const char* loader, bool managed) {
  if (!formed) return ERROR_FILENAME_EXCED_RANGE;
  RegDeleteKeyA(product, name);
  ScopedRegKey subkey;
  const LSTATUS created = RegCreateKeyA(product, name, subkey.Out());
  if (!subkey) return created != ERROR_SUCCESS ? created : ERROR_FILE_NOT_FOUND;
  LSTATUS first = SetDwordValue(subkey.Get(), "LOADCTRLS", kLoadOnStartup);
  Keep(first, SetStringValue(subkey.Get(), "LOADER", loader));
  if (managed) Keep(first, SetDwordValue(subkey.Get(), "MANAGED", kManagedAssembly));
  return first;
}

// "Applications\TR_RedavIzor<keyYear>" loading TR_RedavIzor<arxNumber>.ARX
// from the target folder.
LSTATUS WriteArxSubkey(HKEY product, int keyYear, int arxNumber, const CString& targetFolder) {
  char name[kPathBufferSize] = {};
  char loader[kPathBufferSize] = {};
  const bool formed = FormatPath260(name, "Applications\\TR_RedavIzor%d", keyYear) &&
                      FormatPath260(loader, "%s\\TR_RedavIzor%d.ARX", targetFolder.GetString(), arxNumber);
  return WriteSubkey(product, formed, name, loader, false);
}

// "Applications\Tavrin<year>DLLP" loading ACAD<dllNumber>P.dll from the
// product's install folder. A list of folders shorter than the list of
// product keys raises the list's invalid-argument error here, and it passes
// to the caller.
LSTATUS WriteDllSubkey(HKEY product, int year, int dllNumber, const CStringArray& installFolders, int index) {
  const CString& installFolder = installFolders[index];
  char name[kPathBufferSize] = {};
  char loader[kPathBufferSize] = {};
  const bool formed = FormatPath260(name, "Applications\\Tavrin%dDLLP", year) &&
                      FormatPath260(loader, "%s\\ACAD%dP.dll", installFolder.GetString(), dllNumber);
  return WriteSubkey(product, formed, name, loader, true);
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
  IncompleteRelease& incomplete = m_incomplete[index];
  for (int i = 0; i < productKeys.GetSize(); ++i) {
    // The key path ends with a backslash; it names the product key itself.
    // Like every path of the registration it must fit the path buffer: a
    // longer one is not opened, and the release is not registered there.
    char productKey[kPathBufferSize];
    if (!FormatPath260(productKey, "%s", productKeys[i].GetString())) {
      incomplete.Note(ERROR_FILENAME_EXCED_RANGE);
      continue;
    }
    // Without the rights to write below HKEY_LOCAL_MACHINE the open fails,
    // or a create or a value is refused: the release is then not loaded.
    ScopedRegKey product;
    const LSTATUS opened = RegOpenKeyA(HKEY_LOCAL_MACHINE, productKey, product.Out());
    if (!product) {
      incomplete.Note(opened != ERROR_SUCCESS ? opened : ERROR_FILE_NOT_FOUND);
      continue;
    }
    incomplete.Note(WriteArxSubkey(product.Get(), year, numbers.arx, m_strInstallPath));
    if (g_nBuildBits == 64 && year == kYearWithExtraArx)
      incomplete.Note(WriteArxSubkey(product.Get(), kExtraArxYear, kExtraArxYear, m_strInstallPath));
    incomplete.Note(WriteDllSubkey(product.Get(), year, numbers.dll, m_aInstallFolders[index], i));
  }
}
