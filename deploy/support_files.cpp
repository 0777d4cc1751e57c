// The support files in each chosen AutoCAD installation: fonts, itextsharp.dll,
// the per-release modules and the 2008 plot driver; silent and best-effort.
#include <cstdlib>

#include "acad_inventory.h"
#include "pre_install_checks.h"
#include "replaced_files.h"

namespace {

constexpr int kFirstModuleYear = 2007;
constexpr int kLastModuleYear = 2050;
constexpr int kModuleYears = kLastModuleYear - kFirstModuleYear + 1;
constexpr int kPlotDriverReleaseIndex = 2008 - kFirstReleaseYear;
constexpr DWORD kInTheWay = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN;

// Whether what lies around a refused copy explains the refusal: a source
// that is missing or a folder, a destination folder that is missing or a
// file, or a folder or a hidden file in the destination's place (Windows
// refuses to overwrite those). A look that is itself refused explains
// nothing.
bool RefusalExplained(const char* source, const char* folder, const char* destination) {
  auto missing = [] { return GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND; };
  DWORD attributes = GetFileAttributesA(source);
  if (attributes == INVALID_FILE_ATTRIBUTES ? missing() : (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return true;
  attributes = GetFileAttributesA(folder);
  if (attributes == INVALID_FILE_ATTRIBUTES ? missing() : (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return true;
  attributes = GetFileAttributesA(destination);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & kInTheWay) != 0;
}

// Which of the per-release modules ACAD2007P.dll ... ACAD2050P.dll the
// payload holds, by year, from one listing of them. When it cannot be
// listed, every year counts: a copy of a module the payload lacks does
// nothing.
void PayloadModules(const CString& payloadFolder, bool (&held)[kModuleYears]) {
  for (bool& year : held) year = false;
  char pattern[kPathBufferSize];
  DWORD listed = ERROR_FILENAME_EXCED_RANGE;
  if (FormatPath260(pattern, "%s\\ACAD*P.dll", payloadFolder.GetString()))
    listed = ForEachListed(pattern, [&](const WIN32_FIND_DATAA&, const CString& name) {
      const int year = atoi(name.Mid(4, 4));
      if (name.GetLength() == 13 && year >= kFirstModuleYear && year <= kLastModuleYear &&
          name.Right(5).CompareNoCase("P.dll") == 0)
        held[year - kFirstModuleYear] = true;
    });
  if (listed != ERROR_SUCCESS && listed != ERROR_FILE_NOT_FOUND)
    for (bool& year : held) year = true;
}

// Copies payloadFolder\sourceName to folder\destinationName, overwriting, and
// leaves the copy writable; with keepOriginal, a file of AutoCAD's in the way
// is kept first as "<name>.bak" (once: the first one survives every later
// install), and stays unreplaced when it cannot be kept. A read-only file in
// the way (an earlier install from a read-only medium) has its bit cleared
// and the copy is tried again; only a refused copy pays for that look. The
// error that left the file uncopied, or ERROR_SUCCESS when it was copied or
// what lies around it explains why not (the payload or AutoCAD's folder has
// no such file or folder). A source path too long for its buffer is one the
// payload copy has told of already; a destination too long is an error.
DWORD CopySupportFile(const CString& payloadFolder, const char* sourceName, const char* folder,
                      const char* destinationName, bool keepOriginal = false) {
  char source[kPathBufferSize];
  char destination[kPathBufferSize];
  char backup[kPathBufferSize];
  if (!FormatPath260(source, "%s\\%s", payloadFolder.GetString(), sourceName)) return ERROR_SUCCESS;
  if (!FormatPath260(destination, "%s\\%s", folder, destinationName) ||
      (keepOriginal && !FormatPath260(backup, "%s.bak", destination)))
    return GetPathKind(source) == PathFile ? ERROR_FILENAME_EXCED_RANGE : ERROR_SUCCESS;
  DWORD error = keepOriginal ? KeepCopyOf(destination, source, backup, true) : ERROR_SUCCESS;
  if (error != ERROR_SUCCESS) return error;
  bool copied = CopyFileA(source, destination, FALSE) != FALSE;
  error = copied ? ERROR_SUCCESS : GetLastError();
  if (error == ERROR_ACCESS_DENIED && ClearReadOnly(destination)) {
    copied = CopyFileA(source, destination, FALSE) != FALSE;
    error = copied ? ERROR_SUCCESS : GetLastError();
  }
  if (copied) ClearReadOnly(destination);
  // Nothing there to copy, or no folder to copy into: Windows said so itself.
  if (copied || error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return ERROR_SUCCESS;
  return RefusalExplained(source, folder, destination) ? ERROR_SUCCESS : error;
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
      CopySupportFiles(m_aInstallFolders[release][i], release == kPlotDriverReleaseIndex, m_incomplete[release]);
  }
}

void CAcadInventory::CopySupportFiles(CString installFolder, bool copyPlotDriver, IncompleteRelease& incomplete) {
  CString payloadFolder;
  // Without the payload folder every source is missing; FindDataFolder has
  // told the user, and no path is formed from a folder that is not there.
  if (!FindDataFolder(payloadFolder)) return;

  char folder[kPathBufferSize];
  if (FormatPath260(folder, "%s\\Fonts", installFolder.GetString())) {
    incomplete.Note(CopySupportFile(payloadFolder, "Tavrin_EN.shx", folder, "Tavrin_EN.shx"));
    incomplete.Note(CopySupportFile(payloadFolder, "Tavrin_HZ.shx", folder, "Tavrin_HZ.shx"));
  }
  if (FormatPath260(folder, "%s", installFolder.GetString())) {
    incomplete.Note(CopySupportFile(payloadFolder, "itextsharp.dll", folder, "itextsharp.dll"));
    // Every module of the range the payload holds goes into every folder,
    // whatever the folder's release, in the order of the years.
    bool held[kModuleYears];
    PayloadModules(payloadFolder, held);
    for (int year = kFirstModuleYear; year <= kLastModuleYear; ++year) {
      if (!held[year - kFirstModuleYear]) continue;
      CString module;
      module.Format("ACAD%dP.dll", year);
      incomplete.Note(CopySupportFile(payloadFolder, module, folder, module));
    }
  }
  // The plot driver replaces one of AutoCAD's own, which is kept.
  if (copyPlotDriver && FormatPath260(folder, "%s\\Drv", installFolder.GetString()))
    incomplete.Note(CopySupportFile(payloadFolder, "Tavrin.prt5", folder, "pdfplot9.hdi", true));
}
