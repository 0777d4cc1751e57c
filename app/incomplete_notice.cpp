// The notice after an install that could not complete some releases: it
// names them grouped by why (missing rights, files in use, another error in
// Windows' words) and, where rights were missing, offers to start the setup
// again as administrator with what the user chose.
#include <vector>

#include "acad_inventory.h"
#include "restart_command.h"
#include "setup_dialog.h"
#include "setup_messages.h"

namespace {

const char kIncompleteHeader[] = "以下AutoCAD版本未能完整安装：";
// How to start the setup as administrator by hand.
const char kByHand[] = "请关闭AutoCAD，右键单击SetUp.exe，选择“以管理员身份运行”，然后重新安装。";
const char kMissingRightsFormat[] = "\n\n%s\n\n当前用户没有写入AutoCAD安装目录或注册表的权限。%s";
const char kInUseFormat[] = "\n\n%s\n\nAutoCAD正在使用需要更新的文件。请关闭AutoCAD，然后重新运行SetUp.exe。";
const char kOtherErrorFormat[] = "\n\n%s\n\n%s";
const char kRunAsAdministratorQuestion[] = "\n\n是否现在以管理员身份重新运行安装程序？";
const char kNotElevatedFormat[] = "未能以管理员身份启动SetUp.exe：%s\n\n%s";

// Vista and later can start a program with an administrator's rights.
bool CanElevate() { return LOBYTE(LOWORD(GetVersion())) >= 6; }

// Starts this program again through the elevation prompt, handing it
// parameters: ERROR_SUCCESS, or why it was not started (the user declined
// the prompt, the file is gone). ShellExecuteA answers a code of 32 or less
// for a start it did not make, and Windows' error beside it; the codes it
// shares with Windows' errors (file or path not found, access denied) stand
// in where that is missing, and 0 means out of resources.
DWORD RestartElevated(HWND owner, const CString& parameters) {
  char program[MAX_PATH + 1] = "";
  DWORD length = GetModuleFileNameA(nullptr, program, sizeof program);
  if (length == 0 || length >= sizeof program) return length == 0 ? GetLastError() : ERROR_FILENAME_EXCED_RANGE;
  CString folder(program);
  folder = folder.Left(folder.ReverseFind('\\'));
  const INT_PTR started =
      reinterpret_cast<INT_PTR>(ShellExecuteA(owner, "runas", program, parameters, folder, SW_SHOWNORMAL));
  if (started > 32) return ERROR_SUCCESS;
  const DWORD error = GetLastError();
  if (error != ERROR_SUCCESS) return error;
  return started != 0 ? static_cast<DWORD>(started) : ERROR_NOT_ENOUGH_MEMORY;  // 0: out of resources
}

// Windows' own words for an error (the user declined the prompt, the disk is
// full), or else the error's number.
CString ErrorText(DWORD error) {
  char text[kPathBufferSize] = "";
  CString reason(text, FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                      text, sizeof text, nullptr));
  while (reason.Right(1) == "\n" || reason.Right(1) == "\r") reason.Delete(reason.GetLength() - 1);
  if (reason.IsEmpty()) reason.Format("%lu", error);
  return reason;
}

}  // namespace

bool Dlg_Setup::ReportIncompleteReleases() {
  // The chosen releases by why they are incomplete: "AutoCAD2010、AutoCAD2014".
  CString missingRights, inUse;
  std::vector<DWORD> errors;
  std::vector<CString> failed;
  auto add = [](CString& list, int k) {
    if (!list.IsEmpty()) list += "、";
    list.AppendFormat("AutoCAD%d", kAcadReleases[k].year);
  };
  for (int k = 0; k < kReleaseCount; ++k) {
    const IncompleteRelease& incomplete = theInventory.m_incomplete[k];
    if (!ReleaseFlag(k)) continue;
    if (incomplete.missingRights) add(missingRights, k);
    if (incomplete.inUse) add(inUse, k);
    if (incomplete.otherError == ERROR_SUCCESS) continue;
    size_t group = 0;
    while (group < errors.size() && errors[group] != incomplete.otherError) ++group;
    if (group == errors.size()) errors.push_back(incomplete.otherError), failed.emplace_back();
    add(failed[group], k);
  }
  if (missingRights.IsEmpty() && inUse.IsEmpty() && errors.empty()) return false;
  CString message(kIncompleteHeader);
  if (!missingRights.IsEmpty()) message.AppendFormat(kMissingRightsFormat, missingRights.GetString(), kByHand);
  if (!inUse.IsEmpty()) message.AppendFormat(kInUseFormat, inUse.GetString());
  for (size_t group = 0; group < errors.size(); ++group)
    message.AppendFormat(kOtherErrorFormat, failed[group].GetString(), ErrorText(errors[group]).GetString());
  // No icon, like every other message of the program; Yes or No only where
  // running as administrator would mend something and can be offered.
  const bool elevate = !missingRights.IsEmpty() && CanElevate();
  if (elevate) message += kRunAsAdministratorQuestion;
  const int answer = MessageBox(message, kSetupCaption, elevate ? MB_YESNO : MB_OK);
  if (!elevate || answer != IDYES) return false;
  // The elevated setup opens with the releases ticked here and the folder
  // chosen: the target without its last level, the suffix, which it appends
  // again.
  bool ticked[kReleaseCount];
  for (int k = 0; k < kReleaseCount; ++k) ticked[k] = ReleaseFlag(k) != 0;
  const CString folder = m_strTargetPath.Left(m_strTargetPath.ReverseFind('\\'));
  const DWORD error = RestartElevated(m_hWnd, FormatRestartParameters(ticked, folder));
  if (error == ERROR_SUCCESS) {
    EndDialog(IDCANCEL);
    return true;
  }
  // Nothing was started: said so, with Windows' reason and how to do it by
  // hand, and the finished page follows as after No.
  message.Format(kNotElevatedFormat, ErrorText(error).GetString(), kByHand);
  MessageBox(message, kSetupCaption, MB_OK);
  return false;
}
