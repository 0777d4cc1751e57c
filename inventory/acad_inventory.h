// CAcadInventory: what the start-up scan found of each release (the product
// keys and install folders of its installed AutoCAD products) and the target
// folder of the install. Its operations live with the work they do: the scan
// here, the support-file copy in deploy/, the registration in
// acad_registration/.
#pragma once

#include <vector>

#include "acad_release.h"
#include "afx.h"

// Why a release was not fully installed, each told apart at the end: missing
// rights (which running as administrator mends), a file in use (which closing
// AutoCAD mends), or another error, in Windows' own words.
struct IncompleteRelease {
  bool missingRights = false;
  bool inUse = false;
  DWORD otherError = ERROR_SUCCESS;  // the first other error

  // Notes what a refused write or copy answered; ERROR_SUCCESS notes nothing.
  void Note(DWORD error);
  bool Any() const { return missingRights || inUse || otherError != ERROR_SUCCESS; }
};

class CAcadInventory {
 public:
  CAcadInventory();

  // Fills m_aInstallFolders and m_aProductKeys from the registry.
  void ScanInstalledReleases();
  // Scans one AutoCAD root below HKEY_LOCAL_MACHINE for the given years.
  void ScanAcadRoot(const char* rootPath, const char* basePathFormat, const std::vector<int>& years);
  // Depth-first search below parent\subkeyName (the empty name is parent
  // itself) for the value named m_strValueName; appends each key holding it
  // to m_aFoundKeys and its text to m_aFoundValues.
  void FindValueInTree(HKEY parent, const char* subkeyName, CString relativePath, CString basePath);

  // Stores the target folder without one trailing backslash.
  void SetInstallPath(CString path);

  // Load registration of the selected releases, then the trusted paths.
  void RegisterSelectedReleases(int b2007, int b2008, int b2009, int b2010, int b2011, int b2012, int b2013,
                                int b2014, int b2015, int b2016, int b2017, int b2018, int b2019, int b2020,
                                int b2021, int b2022, int b2023, int b2024, int b2025, int b2026);
  void RegisterRelease(int year);
  void AddTrustedPaths();

  // Support files into each install folder of each selected release.
  void InstallSupportFiles(int b2007, int b2008, int b2009, int b2010, int b2011, int b2012, int b2013, int b2014,
                           int b2015, int b2016, int b2017, int b2018, int b2019, int b2020, int b2021, int b2022,
                           int b2023, int b2024, int b2025, int b2026);
  // Notes in incomplete why a copy into installFolder failed, if one did.
  void CopySupportFiles(CString installFolder, bool copyPlotDriver, IncompleteRelease& incomplete);

  CString m_strInstallPath;
  CStringArray m_aInstallFolders[kReleaseCount];
  CStringArray m_aProductKeys[kReleaseCount];
  CString m_strValueName;
  CStringArray m_aFoundKeys;
  CStringArray m_aFoundValues;

  // Release k was not fully installed: a write below HKEY_LOCAL_MACHINE or a
  // copy into one of its AutoCAD folders failed, and why. Set by the
  // registration and the support files.
  IncompleteRelease m_incomplete[kReleaseCount];
};

// Removes one backslash from the end of s, unless it is the only character
// or the text's only backslash is its first character.
void RemoveTrailingBackslash(CString& s);

// The program's one inventory (defined with the application object, so that
// it is constructed after it).
extern CAcadInventory theInventory;
