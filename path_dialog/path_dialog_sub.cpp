// The browser window's OK button and path box, as the picker handles them.
#include "folder_check.h"
#include "path_dialog.h"
#include "resource.h"

BEGIN_MESSAGE_MAP(CPathDialogSub, CWnd)
  ON_BN_CLICKED(IDOK, OnOkClicked)
  ON_EN_CHANGE(IDC_BROWSER_PATH_EDIT, OnPathEdited)
END_MESSAGE_MAP()

CPathDialogSub::~CPathDialogSub() {
  // The browser normally ends the subclassing as it closes.
  if (m_hWnd != nullptr) UnsubclassWindow();
}

bool CPathDialog::ReadPathBox(CString* text) {
  CWnd* pathBox = m_sub.GetDlgItem(IDC_BROWSER_PATH_EDIT);
  *text = pathBox->GetWindowText();
  // The whole text or nothing: a path cut to the buffer would name another folder.
  return FormatPath260(m_szPath, "%s", text->GetString());
}

void CPathDialogSub::OnPathEdited() {
  // Any text enables OK; it is checked when OK is pressed.
  CString text;
  m_pPathDialog->ReadPathBox(&text);
  ::SendMessageA(m_hWnd, BFFM_ENABLEOK, 0, text.IsEmpty() ? 0 : 1);
}

void CPathDialogSub::OnOkClicked() {
  CString text;
  bool fits = m_pPathDialog->ReadPathBox(&text);
  // A text too long for the path buffer is checked whole, and so refused.
  if (ConfirmFolder(fits ? m_pPathDialog->m_szPath : text.GetString()) == 0) {
    m_pPathDialog->m_bAccepted = 1;
    ::EndDialog(m_hWnd, 1);
    return;
  }
  GetDlgItem(IDC_BROWSER_PATH_EDIT)->SetFocus();
}
