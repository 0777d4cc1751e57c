// The support files in each chosen AutoCAD installation: fonts, itextsharp.dll,
// the per-release modules and the 2008 plot driver; silent and best-effort.
#include "acad_inventory.h"
#include "pre_install_checks.h"

namespace {

constexpr int kFirstModuleYear = 2007;
constexpr int kLastModuleYear = 2050;
constexpr int kPlotDriverReleaseIndex = 2008 - kFirstReleaseYear;

// Copies payloadFolder\sourceName to folder\destinationName, overwriting.
// A path too long for its buffer is skipped rather than cut. True when the
// copy was refused for lack of rights: the source and the folder are there,
// no read-only file was in the way, and the system denied the access.
bool CopySupportFile(const CString& payloadFolder, const char* sourceName, const char* folder,
                     const char* destinationName) {
  char source[kPathBufferSize];
  char destination[kPathBufferSize];
  if (!FormatPath260(source, "%s\\%s", payloadFolder.GetString(), sourceName)) return false;
  if (!FormatPath260(destination, "%s\\%s", folder, destinationName)) return false;
  DWORD existing = GetFileAttributesA(destination);
  bool readOnlyInTheWay = existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_READONLY);
  if (CopyFileA(source, destination, FALSE) || GetLastError() != ERROR_ACCESS_DENIED || readOnlyInTheWay) return false;
  return GetPathKind(source) == PathFile && GetPathKind(folder) == PathFolder;
}

}  // namespace

void CAcadInventory::InstallSupportFiles(int b2007, int b2008, int b2009, int b2010, int b2011, int b2012,
                                         int b2013, int b2014, int b2015, int b2016, int b2017, int b2018,
                                         int b2019, int b2020, int b2021, int b2022, int b2023, int b2024,
                                         int b2025, int b2026) {
  const int chosen[kReleaseCount] = {b2007, b2008, b2009, b2010, b2011, b2012, b2013, b2014, b2015, b2016,
                                     b2017, b2018, b2019, b2020, b2021, b2022, b2023, b2024, b2025, b2026};
  for (int release = 0; release < kReleaseCount; ++release) {
    if (chosen[release] == 0) continue;
    const int folderCount = m_aInstallFolders[release].GetSize();
    for (int i = 0; i < folderCount; ++i)
      if (!CopySupportFiles(m_aInstallFolders[release][i], release == kPlotDriverReleaseIndex))
        m_bInstallIncomplete[release] = true;
  }
}

bool CAcadInventory::CopySupportFiles(CString installFolder, bool copyPlotDriver) {
  CString payloadFolder;
  // Without the payload folder every source is missing; FindDataFolder has
  // told the user, and no path is formed from a folder that is not there.
  if (!FindDataFolder(payloadFolder)) return true;

  bool refused = false;
  char folder[kPathBufferSize];
  if (FormatPath260(folder, "%s\\Fonts", installFolder.GetString())) {
    refused |= CopySupportFile(payloadFolder, "Tavrin_EN.shx", folder, "Tavrin_EN.shx");
    refused |= CopySupportFile(payloadFolder, "Tavrin_HZ.shx", folder, "Tavrin_HZ.shx");
  }
  if (FormatPath260(folder, "%s", installFolder.GetString())) {
    refused |= CopySupportFile(payloadFolder, "itextsharp.dll", folder, "itextsharp.dll");
    // Every module name of the range is tried in every folder, whatever the
    // folder's release: the payload carries the ones it has.
    for (int year = kFirstModuleYear; year <= kLastModuleYear; ++year) {
      CString module;
      module.Format("ACAD%dP.dll", year);
      refused |= CopySupportFile(payloadFolder, module, folder, module);
    }
  }
  if (copyPlotDriver && FormatPath260(folder, "%s\\Drv", installFolder.GetString()))
    refused |= CopySupportFile(payloadFolder, "Tavrin.prt5", folder, "pdfplot9.hdi");
  return !refused;
}
