// The setup dialog: one check box per AutoCAD release, the target folder,
// the progress bar, Install and Cancel; at the end the finished page.
#pragma once

#include "acad_release.h"
#include "afx_dialog.h"

class Dlg_Setup : public CDialog {
 public:
  explicit Dlg_Setup(CWnd* pParent = nullptr);
  ~Dlg_Setup() override;

  // Takes what an earlier run chose (the ticked releases and the folder) from
  // the command line it started this one with, as its elevated rerun, so
  // that this one opens showing exactly that. Any other command line is
  // ignored.
  void ContinueFrom(const char* commandLine);

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;

  HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
  void OnReleaseCheckClicked();
  void UpdateInstallButton();
  void OnBrowse();
  void OnInstall();
  // Whether the payload's modules (names, its files for the target folder)
  // are of this edition; the user is told when they are not.
  bool PayloadOfThisEdition(const CString& payloadFolder, const CStringArray& names);
  // Makes target (the chosen folder with its suffix) the full path of the
  // install and creates it, after checking it against what it will hold
  // (names, of the payload folder) before anything is written; false when it
  // was refused and the user has been told why.
  bool PrepareTargetFolder(CString& target, const CString& payloadFolder, const CStringArray& names);
  // The staged install; false when the payload copy failed and the dialog
  // has been told to close.
  bool RunInstallSequence();
  // Tells the user which releases were not fully installed, grouped by why,
  // and, where rights were missing, offers to run the setup again as
  // administrator, with what the user chose. True when the elevated setup
  // was started and this dialog is closing.
  bool ReportIncompleteReleases();
  // Switches to the finished page and shrinks the window to it.
  void ShowFinishedPage();

  // Release k's check box and selection flag (k = year - 2007).
  CButton& ReleaseCheckBox(int k);
  BOOL& ReleaseFlag(int k);

  DECLARE_MESSAGE_MAP()

 public:
  CBrush m_brushBack;
  CButton m_chkAcad2026, m_chkAcad2025, m_chkAcad2024, m_chkAcad2023, m_chkAcad2022, m_chkAcad2021, m_chkAcad2020,
      m_chkAcad2019, m_chkAcad2018, m_chkAcad2017, m_chkAcad2016, m_chkAcad2015, m_chkAcad2014, m_chkAcad2013,
      m_chkAcad2012, m_chkAcad2011, m_chkAcad2010, m_chkAcad2009, m_chkAcad2008, m_chkAcad2007;
  BOOL m_bAcad2007, m_bAcad2008, m_bAcad2009, m_bAcad2010, m_bAcad2011, m_bAcad2012, m_bAcad2013, m_bAcad2014,
      m_bAcad2015, m_bAcad2016, m_bAcad2017, m_bAcad2018, m_bAcad2019, m_bAcad2020, m_bAcad2021, m_bAcad2022,
      m_bAcad2023, m_bAcad2024, m_bAcad2025, m_bAcad2026;
  CString m_strTitle;
  CString m_strEdition;
  CProgressCtrl m_progress;
  CString m_strTargetPath;

 private:
  // Started to continue an earlier run: the releases it had ticked.
  bool m_bContinued = false;
  bool m_bContinuedTicks[kReleaseCount] = {};
  // The header and edition fonts, made once and released with the dialog
  // (a font made at every colour request would exhaust the GDI handles of
  // a dialog left open).
  CFont m_fontTitle;
  CFont m_fontEdition;
};

// The once-only warning that AutoCAD is running is still due.
extern bool g_bWarnAcadRunning;
