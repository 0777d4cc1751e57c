// The Install button: the once-only warning while AutoCAD runs, the target
// folder, the staged install with its progress bar, and the finished page.
#include <algorithm>

#include "acad_inventory.h"
#include "build_settings.h"
#include "module_edition.h"
#include "payload_copier.h"
#include "pre_install_checks.h"
#include "resource.h"
#include "setup_dialog.h"
#include "setup_messages.h"
#include "target_folder.h"

namespace {

const char kCloseAcadMessage[] = "请关闭AutoCAD后再进行安装 !";
const char kChoosePathMessage[] = "请选择安装路径：";
const char kInstallErrorFormat[] = "安装未能完成：%s";
const char kFolderNotCreatedFormat[] = "无法创建安装文件夹：\n\n%s\n\n请选择其他文件夹后再进行安装 !";
const char kFolderTooLongFormat[] = "安装文件夹的路径太长：\n\n%s\n\n请选择较短的文件夹后再进行安装 !";
const char kFolderOfOtherEditionFormat[] =
    "文件夹\n\n%s\n\n中已安装%d位AutoCAD版的插件，不能用本安装程序覆盖。\n\n请选择其他文件夹后再进行安装 !";
const char kPayloadOfOtherEditionFormat[] =
    "Data文件夹中的插件属于%d位AutoCAD版，应使用%d位AutoCAD版的SetUp.exe安装。\n\n本安装程序为%d位AutoCAD版，不能安装这些插件 !";
const char kTargetSuffix[] = "\\T-RedavIzor";
// The module file the registration names in the target folder, whether or
// not the payload holds it: TR_RedavIzor and a year, with ".ARX".
constexpr int kModuleNameLength = sizeof "TR_RedavIzor2010.ARX" - 1;
constexpr int kProgressMaximum = 50;
static_assert(CPayloadCopier::kLastCopyStep + 3 == kProgressMaximum, "the copy leaves the stages' three steps");

}  // namespace

void Dlg_Setup::OnInstall() {
  // Whatever a stage raises ends here, reported, and never reaches the
  // dialog manager.
  try {
    if (g_bWarnAcadRunning && IsAcadRunning()) {
      MessageBox(kCloseAcadMessage, kSetupCaption, MB_OK);
      g_bWarnAcadRunning = false;
      return;
    }
    UpdateData(TRUE);
    CString target = m_strTargetPath;
    DropTrailingBackslash(target);
    if (target.IsEmpty()) {
      MessageBox(kChoosePathMessage, kSetupCaption, MB_OK);
      return;
    }
    // What the payload will put into the target folder, looked at before
    // anything is written. A payload of the other edition closes the setup:
    // it belongs with the other SetUp.exe.
    CString payloadFolder;
    CStringArray names;
    if (CPayloadCopier::ListTargetFiles(payloadFolder, names) && !PayloadOfThisEdition(payloadFolder, names)) {
      OnCancel();
      return;
    }
    target += kTargetSuffix;
    if (!PrepareTargetFolder(target, payloadFolder, names)) return;
    m_strTargetPath = target;
    if (!RunInstallSequence()) return;
    // Told once, at the end, which releases could not be completed and why;
    // where rights were missing the user may start the setup again as
    // administrator.
    if (ReportIncompleteReleases()) return;
    ShowFinishedPage();
  } catch (const std::exception& error) {
    CString message;
    message.Format(kInstallErrorFormat, error.what());
    MessageBox(message, kSetupCaption, MB_OK | MB_ICONERROR);
  }
}

bool Dlg_Setup::PayloadOfThisEdition(const CString& payloadFolder, const CStringArray& names) {
  CStringArray modules;
  for (int i = 0; i < names.GetSize(); ++i)
    if (IsArxModule(names[i])) modules.Add(names[i]);
  const int edition = OtherEdition(payloadFolder, modules, g_nBuildBits);
  if (edition == 0) return true;
  CString message;
  message.Format(kPayloadOfOtherEditionFormat, edition, edition, g_nBuildBits);
  MessageBox(message, kSetupCaption, MB_OK);
  return false;
}

bool Dlg_Setup::PrepareTargetFolder(CString& target, const CString& payloadFolder, const CStringArray& names) {
  // AutoCAD reads the paths registered below relative to its own folder, so
  // the folder becomes the full path Windows makes of it here ("\x" on this
  // folder's drive, "x" below it). Every file the install puts into it must
  // fit the path buffers, the longest of the payload's names and the
  // modules' the registration names; it must not hold the other edition's
  // modules, which its AutoCADs load. A folder that does not pass, or cannot
  // be made with every missing level, is refused once, before anything is
  // written; the user chooses another.
  int longestName = kModuleNameLength;
  for (int i = 0; i < names.GetSize(); ++i) longestName = std::max(longestName, names[i].GetLength());
  const TargetProblem problem = ResolveTargetFolder(target, longestName);
  CString message;
  if (problem == TargetProblem::TooLong) {
    message.Format(kFolderTooLongFormat, target.GetString());
  } else if (problem == TargetProblem::Unresolved) {
    message.Format(kFolderNotCreatedFormat, target.GetString());
  } else if (const int edition = OtherEditionInstalled(target, payloadFolder, names, g_nBuildBits)) {
    message.Format(kFolderOfOtherEditionFormat, target.GetString(), edition);
  } else if (CreateTargetFolder(target)) {
    return true;
  } else {
    message.Format(kFolderNotCreatedFormat, target.GetString());
  }
  MessageBox(message, kSetupCaption, MB_OK);
  return false;
}

bool Dlg_Setup::RunInstallSequence() {
  GetDlgItem(IDC_PATH_LABEL)->ShowWindow(SW_HIDE);
  GetDlgItem(IDC_TARGET_PATH)->ShowWindow(SW_HIDE);
  GetDlgItem(IDC_BROWSE)->ShowWindow(SW_HIDE);
  GetDlgItem(IDC_PROGRESS)->ShowWindow(SW_SHOWNORMAL);
  m_progress.SetRange(0, kProgressMaximum);
  m_progress.SetStep(1);
  m_progress.SetPos(0);

  CPayloadCopier copier(m_strTargetPath, &m_progress);
  if (!copier.CopyPayload()) {
    OnCancel();
    return false;
  }
  m_progress.StepIt();
  theInventory.SetInstallPath(m_strTargetPath);
  theInventory.RegisterSelectedReleases(m_bAcad2007, m_bAcad2008, m_bAcad2009, m_bAcad2010, m_bAcad2011, m_bAcad2012,
                                        m_bAcad2013, m_bAcad2014, m_bAcad2015, m_bAcad2016, m_bAcad2017, m_bAcad2018,
                                        m_bAcad2019, m_bAcad2020, m_bAcad2021, m_bAcad2022, m_bAcad2023, m_bAcad2024,
                                        m_bAcad2025, m_bAcad2026);
  m_progress.StepIt();
  theInventory.InstallSupportFiles(m_bAcad2007, m_bAcad2008, m_bAcad2009, m_bAcad2010, m_bAcad2011, m_bAcad2012,
                                   m_bAcad2013, m_bAcad2014, m_bAcad2015, m_bAcad2016, m_bAcad2017, m_bAcad2018,
                                   m_bAcad2019, m_bAcad2020, m_bAcad2021, m_bAcad2022, m_bAcad2023, m_bAcad2024,
                                   m_bAcad2025, m_bAcad2026);
  m_progress.StepIt();
  m_progress.SetPos(kProgressMaximum);
  return true;
}

void Dlg_Setup::ShowFinishedPage() {
  GetDlgItem(IDC_FINISHED_LABEL)->ShowWindow(SW_SHOWNORMAL);
  GetDlgItem(IDC_FINISHED_PICTURE)->ShowWindow(SW_SHOWNORMAL);
  GetDlgItem(IDC_COMPONENTS_LABEL)->ShowWindow(SW_HIDE);
  GetDlgItem(IDC_PROGRESS)->ShowWindow(SW_HIDE);
  GetDlgItem(IDOK)->ShowWindow(SW_SHOWNORMAL);
  GetDlgItem(IDC_INSTALL)->ShowWindow(SW_HIDE);
  GetDlgItem(IDCANCEL)->ShowWindow(SW_HIDE);
  for (int k = 0; k < kReleaseCount; ++k) ReleaseCheckBox(k).ShowWindow(SW_HIDE);
  UpdateData(FALSE);

  // Shrink from below by the distance between the bottom edges of the
  // Cancel and OK buttons; left, top and width stay.
  RECT window, ok, cancel;
  GetWindowRect(&window);
  GetDlgItem(IDOK)->GetWindowRect(&ok);
  ScreenToClient(&ok);
  GetDlgItem(IDCANCEL)->GetWindowRect(&cancel);
  ScreenToClient(&cancel);
  ::SetRect(&window, window.left, window.top, window.right, window.bottom + ok.bottom - cancel.bottom);
  MoveWindow(window.left, window.top, window.right - window.left, window.bottom - window.top, TRUE);
}
