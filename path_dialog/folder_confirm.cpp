// The dialogue about a folder the user pressed OK on: accept it, offer to
// create it, or report why it cannot be used.
#include "afx.h"
#include "folder_check.h"

namespace {

const UINT kQuestionStyle = MB_YESNO | MB_ICONQUESTION;  // 36
const UINT kFailureStyle = MB_OK | MB_ICONEXCLAMATION;   // 48

int AskToCreate(const char* path) {
  CString text;
  text.Format("The folder:\n\n%s\n\ndoes not exist. Do you want the folder to be created?", path);
  return AfxMessageBox(text, kQuestionStyle, 0);
}

void ReportFailure(const char* path, int result) {
  CString text;
  if (result == FolderInvalid)
    text.Format("The folder:\n\n%s\n\nis invalid. Please reenter.", path);
  else
    text.Format("The folder:\n\n%s\n\ncan not be created. Please double check.", path);
  AfxMessageBox(text, kFailureStyle, 0);
}

}  // namespace

int ConfirmFolder(const char* path) {
  // Every failure goes to the one report below as a thrown result code.
  try {
    int result = CheckOrCreateFolder(path, 1);
    if (result != FolderOk) throw result;
    if (_access(path, 0) == 0) return 0;  // a folder or a file already there
    if (AskToCreate(path) != IDYES) return -1;
    result = CheckOrCreateFolder(path, 0);
    if (result != FolderOk) throw result;
    return 0;
  } catch (int result) {
    ReportFailure(path ? path : "", result);
    return result;
  }
}
