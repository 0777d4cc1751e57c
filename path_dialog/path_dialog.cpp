// The picker's life: its parameters, the modal run of the shell's folder
// browser and the folder it hands back.
#include "path_dialog.h"

#include <cstring>

CPathDialog::CPathDialog(LPCSTR caption, LPCSTR title, LPCSTR initialFolder, CWnd* parent) {
  m_hBrowser = nullptr;
  m_sub.m_pPathDialog = this;
  m_pOwner = CWnd::GetSafeOwner(parent);
  m_lpszCaption = caption;
  m_lpszInitialFolder = initialFolder;
  m_szPath[0] = '\0';
  m_bAccepted = 0;
  memset(&m_bi, 0, sizeof m_bi);
  m_bi.hwndOwner = m_pOwner ? m_pOwner->GetSafeHwnd() : nullptr;
  m_bi.lpszTitle = title;
  m_bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;  // 5
  m_bi.lpfn = &OnBrowseEvent;
}

int CPathDialog::RunModal() {
  char displayName[kPathBufferSize] = "";
  m_bi.pszDisplayName = displayName;
  m_bi.lpfn = &OnBrowseEvent;
  m_bi.lParam = reinterpret_cast<LPARAM>(this);
  int result = -1;

  IMalloc* allocator = nullptr;
  if (SUCCEEDED(SHGetMalloc(&allocator)) && allocator != nullptr) {
    // The browser owns the program's message boxes while it is open (see
    // OnInitialized); afterwards the window that owned them before does.
    HWND previousOwner = AfxGetModalOwner();
    m_bAccepted = 0;
    LPITEMIDLIST item = SHBrowseForFolderA(&m_bi);
    AfxSetModalOwner(previousOwner);
    // The result is the path buffer, not the item.
    if (item != nullptr) allocator->Free(item);
    if (m_bAccepted) result = 1;
    allocator->Release();
  }
  m_bi.pszDisplayName = nullptr;  // the buffer ends with this call
  m_hBrowser = nullptr;
  return result;
}

CString CPathDialog::SelectedFolder() const { return CString(m_szPath); }

int CALLBACK CPathDialog::OnBrowseEvent(HWND hwnd, UINT event, LPARAM param, LPARAM data) {
  CPathDialog* dialog = reinterpret_cast<CPathDialog*>(data);
  try {
    if (event == BFFM_INITIALIZED)
      dialog->OnInitialized(hwnd);
    else if (event == BFFM_SELCHANGED)
      dialog->OnSelectionChanged(hwnd, reinterpret_cast<LPCITEMIDLIST>(param));
  } catch (...) {
    // Nothing may unwind through the shell's code; the browser stays as it is.
  }
  return 0;
}
