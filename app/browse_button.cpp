// The Browse button: the folder picker opens at the typed target folder and
// an accepted folder becomes the new target.
#include "path_dialog.h"
#include "setup_dialog.h"

void Dlg_Setup::OnBrowse() {
  UpdateData(TRUE);  // a folder typed into the box is where the picker opens
  const char kPrompt[] = "请选择安装目录：";
  CPathDialog picker(kPrompt, kPrompt, m_strTargetPath, nullptr);
  if (picker.RunModal() == 1) {
    m_strTargetPath = picker.SelectedFolder();
    UpdateData(FALSE);
  }
  UpdateInstallButton();
}
