// The notice after an install that lacked the rights to write below
// HKEY_LOCAL_MACHINE or into an AutoCAD folder: it names the releases and
// offers to start the setup again as administrator.
#include "acad_inventory.h"
#include "setup_dialog.h"
#include "setup_messages.h"

namespace {

// How to start the setup as administrator by hand.
const char kByHand[] = "请关闭AutoCAD，右键单击SetUp.exe，选择“以管理员身份运行”，然后重新安装。";
const char kMissingRightsFormat[] = "以下AutoCAD版本未能完整安装：\n\n%s\n\n当前用户没有写入AutoCAD安装目录或注册表的权限。%s";
const char kRunAsAdministratorQuestion[] = "\n\n是否现在以管理员身份重新运行安装程序？";
const char kNotElevatedFormat[] = "未能以管理员身份启动SetUp.exe：%s\n\n%s";

// Vista and later can start a program with an administrator's rights.
bool CanElevate() { return LOBYTE(LOWORD(GetVersion())) >= 6; }

// Starts this program again through the elevation prompt; false when the
// user refused or it could not be started.
bool RestartElevated(HWND owner) {
  char program[MAX_PATH + 1] = "";
  DWORD length = GetModuleFileNameA(nullptr, program, sizeof program);
  if (length == 0 || length >= sizeof program) return false;
  CString folder(program);
  folder = folder.Left(folder.ReverseFind('\\'));
  HINSTANCE started = ShellExecuteA(owner, "runas", program, nullptr, folder, SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(started) > 32;
}

// Why Windows did not start it, in its own words (the user declined the
// prompt, the file is gone), or else the error's number.
CString LastErrorText() {
  const DWORD error = GetLastError();
  char text[kPathBufferSize] = "";
  CString reason(text, FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                      text, sizeof text, nullptr));
  while (reason.Right(1) == "\n" || reason.Right(1) == "\r") reason.Delete(reason.GetLength() - 1);
  if (reason.IsEmpty()) reason.Format("%lu", error);
  return reason;
}

}  // namespace

bool Dlg_Setup::ReportMissingRights() {
  CString releases;
  for (int k = 0; k < kReleaseCount; ++k) {
    if (!ReleaseFlag(k) || !theInventory.m_bInstallIncomplete[k]) continue;
    if (!releases.IsEmpty()) releases += "、";
    releases.AppendFormat("AutoCAD%d", kAcadReleases[k].year);
  }
  if (releases.IsEmpty()) return false;
  CString message;
  message.Format(kMissingRightsFormat, releases.GetString(), kByHand);
  // No icon, like every other message of the program; OK only where the
  // setup cannot be started again elevated.
  const bool elevate = CanElevate();
  if (elevate) message += kRunAsAdministratorQuestion;
  const int answer = MessageBox(message, kSetupCaption, elevate ? MB_YESNO : MB_OK);
  if (!elevate || answer != IDYES) return false;
  if (RestartElevated(m_hWnd)) {
    EndDialog(IDCANCEL);
    return true;
  }
  // Nothing was started: said so, with how to do it by hand, and the
  // finished page follows as after No.
  message.Format(kNotElevatedFormat, LastErrorText().GetString(), kByHand);
  MessageBox(message, kSetupCaption, MB_OK);
  return false;
}
