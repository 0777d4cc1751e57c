// The setup dialog's data, initialisation, colours and check-box handling.
#include "setup_dialog.h"

#include "acad_inventory.h"
#include "build_settings.h"
#include "resource.h"
#include "restart_command.h"

namespace {

constexpr COLORREF kBackgroundColour = RGB(170, 210, 150);  // light green
constexpr COLORREF kHeaderColour = RGB(10, 70, 40);         // dark green

// The release table's check-box ids are the dialog's, row by row.
constexpr int kCheckBoxIds[kReleaseCount] = {
    IDC_ACAD2007, IDC_ACAD2008, IDC_ACAD2009, IDC_ACAD2010, IDC_ACAD2011, IDC_ACAD2012, IDC_ACAD2013,
    IDC_ACAD2014, IDC_ACAD2015, IDC_ACAD2016, IDC_ACAD2017, IDC_ACAD2018, IDC_ACAD2019, IDC_ACAD2020,
    IDC_ACAD2021, IDC_ACAD2022, IDC_ACAD2023, IDC_ACAD2024, IDC_ACAD2025, IDC_ACAD2026};
constexpr bool CheckBoxIdsMatch() {
  for (int k = 0; k < kReleaseCount; ++k)
    if (kAcadReleases[k].checkBoxId != kCheckBoxIds[k] || kAcadReleases[k].year != kFirstReleaseYear + k) return false;
  return true;
}
static_assert(CheckBoxIdsMatch(), "kAcadReleases and res/resource.h disagree on a release's check box");

CButton Dlg_Setup::*const kCheckBoxes[kReleaseCount] = {
    &Dlg_Setup::m_chkAcad2007, &Dlg_Setup::m_chkAcad2008, &Dlg_Setup::m_chkAcad2009, &Dlg_Setup::m_chkAcad2010,
    &Dlg_Setup::m_chkAcad2011, &Dlg_Setup::m_chkAcad2012, &Dlg_Setup::m_chkAcad2013, &Dlg_Setup::m_chkAcad2014,
    &Dlg_Setup::m_chkAcad2015, &Dlg_Setup::m_chkAcad2016, &Dlg_Setup::m_chkAcad2017, &Dlg_Setup::m_chkAcad2018,
    &Dlg_Setup::m_chkAcad2019, &Dlg_Setup::m_chkAcad2020, &Dlg_Setup::m_chkAcad2021, &Dlg_Setup::m_chkAcad2022,
    &Dlg_Setup::m_chkAcad2023, &Dlg_Setup::m_chkAcad2024, &Dlg_Setup::m_chkAcad2025, &Dlg_Setup::m_chkAcad2026};

BOOL Dlg_Setup::*const kFlags[kReleaseCount] = {
    &Dlg_Setup::m_bAcad2007, &Dlg_Setup::m_bAcad2008, &Dlg_Setup::m_bAcad2009, &Dlg_Setup::m_bAcad2010,
    &Dlg_Setup::m_bAcad2011, &Dlg_Setup::m_bAcad2012, &Dlg_Setup::m_bAcad2013, &Dlg_Setup::m_bAcad2014,
    &Dlg_Setup::m_bAcad2015, &Dlg_Setup::m_bAcad2016, &Dlg_Setup::m_bAcad2017, &Dlg_Setup::m_bAcad2018,
    &Dlg_Setup::m_bAcad2019, &Dlg_Setup::m_bAcad2020, &Dlg_Setup::m_bAcad2021, &Dlg_Setup::m_bAcad2022,
    &Dlg_Setup::m_bAcad2023, &Dlg_Setup::m_bAcad2024, &Dlg_Setup::m_bAcad2025, &Dlg_Setup::m_bAcad2026};

}  // namespace

bool g_bWarnAcadRunning = true;

BEGIN_MESSAGE_MAP(Dlg_Setup, CDialog)
  ON_WM_CTLCOLOR()
  ON_BN_CLICKED(IDC_ACAD2007, OnReleaseCheckClicked)
  ON_BN_CLICKED(IDC_ACAD2008, OnReleaseCheckClicked)
  ON_BN_CLICKED(IDC_ACAD2009, OnReleaseCheckClicked)
  ON_BN_CLICKED(IDC_ACAD2010, OnReleaseCheckClicked)
  ON_BN_CLICKED(IDC_ACAD2011, OnReleaseCheckClicked)
  ON_BN_CLICKED(IDC_ACAD2012, OnReleaseCheckClicked)
  ON_BN_CLICKED(IDC_ACAD2013, OnReleaseCheckClicked)
  ON_BN_CLICKED(IDC_ACAD2014, OnReleaseCheckClicked)
  ON_BN_CLICKED(IDC_ACAD2015, OnReleaseCheckClicked)
  ON_BN_CLICKED(IDC_ACAD2016, OnReleaseCheckClicked)
  ON_BN_CLICKED(IDC_ACAD2017, OnReleaseCheckClicked)
  ON_BN_CLICKED(IDC_ACAD2018, OnReleaseCheckClicked)
  ON_BN_CLICKED(IDC_ACAD2019, OnReleaseCheckClicked)
  ON_BN_CLICKED(IDC_ACAD2020, OnReleaseCheckClicked)
  ON_BN_CLICKED(IDC_ACAD2021, OnReleaseCheckClicked)
  ON_BN_CLICKED(IDC_ACAD2022, OnReleaseCheckClicked)
  ON_BN_CLICKED(IDC_ACAD2023, OnReleaseCheckClicked)
  ON_BN_CLICKED(IDC_ACAD2024, OnReleaseCheckClicked)
  ON_BN_CLICKED(IDC_ACAD2025, OnReleaseCheckClicked)
  ON_BN_CLICKED(IDC_ACAD2026, OnReleaseCheckClicked)
  ON_BN_CLICKED(IDC_BROWSE, OnBrowse)
  ON_BN_CLICKED(IDC_INSTALL, OnInstall)
END_MESSAGE_MAP()

Dlg_Setup::Dlg_Setup(CWnd* pParent)
    : CDialog(IDD_SETUP, pParent),
      m_bAcad2007(TRUE), m_bAcad2008(TRUE), m_bAcad2009(TRUE), m_bAcad2010(TRUE), m_bAcad2011(TRUE),
      m_bAcad2012(TRUE), m_bAcad2013(TRUE), m_bAcad2014(TRUE), m_bAcad2015(TRUE), m_bAcad2016(TRUE),
      m_bAcad2017(TRUE), m_bAcad2018(TRUE), m_bAcad2019(TRUE), m_bAcad2020(TRUE), m_bAcad2021(TRUE),
      m_bAcad2022(TRUE), m_bAcad2023(TRUE), m_bAcad2024(TRUE), m_bAcad2025(TRUE), m_bAcad2026(TRUE),
      m_strTitle(""), m_strEdition(""), m_strTargetPath("C:\\Tavrin") {}

Dlg_Setup::~Dlg_Setup() = default;

void Dlg_Setup::ContinueFrom(const char* commandLine) {
  CString folder;
  if (commandLine == nullptr || !ParseRestartCommandLine(commandLine, m_bContinuedTicks, folder)) return;
  m_bContinued = true;
  m_strTargetPath = folder;
}

CButton& Dlg_Setup::ReleaseCheckBox(int k) { return this->*kCheckBoxes[k]; }

BOOL& Dlg_Setup::ReleaseFlag(int k) { return this->*kFlags[k]; }

void Dlg_Setup::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_ACAD2026, m_chkAcad2026);
  DDX_Control(pDX, IDC_ACAD2025, m_chkAcad2025);
  DDX_Control(pDX, IDC_ACAD2024, m_chkAcad2024);
  DDX_Control(pDX, IDC_ACAD2023, m_chkAcad2023);
  DDX_Control(pDX, IDC_ACAD2022, m_chkAcad2022);
  DDX_Control(pDX, IDC_ACAD2021, m_chkAcad2021);
  DDX_Control(pDX, IDC_ACAD2020, m_chkAcad2020);
  DDX_Control(pDX, IDC_ACAD2019, m_chkAcad2019);
  DDX_Control(pDX, IDC_ACAD2018, m_chkAcad2018);
  DDX_Control(pDX, IDC_ACAD2017, m_chkAcad2017);
  DDX_Control(pDX, IDC_ACAD2016, m_chkAcad2016);
  DDX_Control(pDX, IDC_ACAD2015, m_chkAcad2015);
  DDX_Control(pDX, IDC_ACAD2014, m_chkAcad2014);
  DDX_Control(pDX, IDC_ACAD2013, m_chkAcad2013);
  DDX_Control(pDX, IDC_ACAD2012, m_chkAcad2012);
  DDX_Control(pDX, IDC_ACAD2011, m_chkAcad2011);
  DDX_Control(pDX, IDC_ACAD2010, m_chkAcad2010);
  DDX_Control(pDX, IDC_ACAD2009, m_chkAcad2009);
  DDX_Control(pDX, IDC_ACAD2008, m_chkAcad2008);
  DDX_Control(pDX, IDC_ACAD2007, m_chkAcad2007);
  DDX_Check(pDX, IDC_ACAD2007, m_bAcad2007);
  DDX_Check(pDX, IDC_ACAD2008, m_bAcad2008);
  DDX_Check(pDX, IDC_ACAD2009, m_bAcad2009);
  DDX_Check(pDX, IDC_ACAD2010, m_bAcad2010);
  DDX_Check(pDX, IDC_ACAD2011, m_bAcad2011);
  DDX_Check(pDX, IDC_ACAD2012, m_bAcad2012);
  DDX_Check(pDX, IDC_ACAD2013, m_bAcad2013);
  DDX_Check(pDX, IDC_ACAD2014, m_bAcad2014);
  DDX_Check(pDX, IDC_ACAD2015, m_bAcad2015);
  DDX_Check(pDX, IDC_ACAD2016, m_bAcad2016);
  DDX_Check(pDX, IDC_ACAD2017, m_bAcad2017);
  DDX_Check(pDX, IDC_ACAD2018, m_bAcad2018);
  DDX_Check(pDX, IDC_ACAD2019, m_bAcad2019);
  DDX_Check(pDX, IDC_ACAD2020, m_bAcad2020);
  DDX_Check(pDX, IDC_ACAD2021, m_bAcad2021);
  DDX_Check(pDX, IDC_ACAD2022, m_bAcad2022);
  DDX_Check(pDX, IDC_ACAD2023, m_bAcad2023);
  DDX_Check(pDX, IDC_ACAD2024, m_bAcad2024);
  DDX_Check(pDX, IDC_ACAD2025, m_bAcad2025);
  DDX_Check(pDX, IDC_ACAD2026, m_bAcad2026);
  DDX_Text(pDX, IDC_TITLE, m_strTitle);
  DDX_Text(pDX, IDC_EDITION, m_strEdition);
  DDX_Control(pDX, IDC_PROGRESS, m_progress);
  DDX_Text(pDX, IDC_TARGET_PATH, m_strTargetPath);
}

BOOL Dlg_Setup::OnInitDialog() {
  CDialog::OnInitDialog();
  m_brushBack.Attach(::CreateSolidBrush(kBackgroundColour));

  // "批打印软件 V" year.month.day, month and day with one leading zero below 10.
  int year = g_nSetupVersion / 10000;
  int month = (g_nSetupVersion % 10000) / 100;
  int day = (g_nSetupVersion % 10000) % 100;
  if (month < 10)
    m_strTitle.Format("批打印软件 V%d.0%d", year, month);
  else
    m_strTitle.Format("批打印软件 V%d.%d", year, month);
  CString soFar = m_strTitle;
  if (day < 10)
    m_strTitle.Format("%s.0%d", soFar.GetString(), day);
  else
    m_strTitle.Format("%s.%d", soFar.GetString(), day);
  m_strEdition.Format("( %d位 AutoCAD版 )", g_nBuildBits);

  HINSTANCE iconModule = AfxFindResourceHandle(MAKEINTRESOURCEA(IDI_SETUP), RT_GROUP_ICON);
  HICON icon = ::LoadIconA(iconModule, MAKEINTRESOURCEA(IDI_SETUP));
  if (icon != nullptr) ::SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));

  for (int k = 0; k < kReleaseCount; ++k) {
    if (theInventory.m_aInstallFolders[k].GetSize() <= 0) {
      ReleaseCheckBox(k).EnableWindow(FALSE);
      ReleaseFlag(k) = 0;
    }
  }
  if (g_nBuildBits == 32) {
    for (int k = 0; k < kReleaseCount; ++k)
      if (kAcadReleases[k].hiddenIn32BitBuild) ReleaseCheckBox(k).ShowWindow(SW_HIDE);
    for (int k = 0; k < kReleaseCount; ++k)
      if (kAcadReleases[k].hiddenIn32BitBuild) ReleaseFlag(k) = 0;
  }
  // Continuing an earlier run: only what it had ticked stays ticked.
  for (int k = 0; k < kReleaseCount; ++k)
    if (m_bContinued && !m_bContinuedTicks[k]) ReleaseFlag(k) = 0;
  UpdateData(FALSE);
  UpdateInstallButton();
  return TRUE;
}

HBRUSH Dlg_Setup::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
  CWnd::OnCtlColor(pDC, pWnd, nCtlColor);
  int id = pWnd->GetDlgCtrlID();
  pDC->SetTextColor(0);
  if (id != IDC_TARGET_PATH) pDC->SetBkMode(TRANSPARENT);
  if (id == IDC_TITLE) {
    if (m_fontTitle.GetSafeHandle() == nullptr)
      m_fontTitle.CreateFont(14, 0, 0, 0, FW_SEMIBOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "宋体");
    pDC->SelectObject(&m_fontTitle);
    pDC->SetTextColor(kHeaderColour);
  } else if (id == IDC_EDITION) {
    if (m_fontEdition.GetSafeHandle() == nullptr)
      m_fontEdition.CreateFont(13, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "宋体");
    pDC->SelectObject(&m_fontEdition);
    pDC->SetTextColor(kHeaderColour);
  }
  return static_cast<HBRUSH>(m_brushBack.GetSafeHandle());
}

void Dlg_Setup::UpdateInstallButton() {
  UpdateData(TRUE);
  bool anySelected = false;
  for (int k = 0; k < kReleaseCount; ++k) anySelected = anySelected || ReleaseFlag(k) != 0;
  GetDlgItem(IDC_INSTALL)->EnableWindow(anySelected ? TRUE : FALSE);
}

void Dlg_Setup::OnReleaseCheckClicked() { UpdateInstallButton(); }

void Dlg_Setup::OnOK() { CDialog::OnOK(); }

void Dlg_Setup::OnCancel() { CDialog::OnCancel(); }
