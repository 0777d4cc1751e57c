// What the picker does when the shell's browser reports: on opening, the
// path box is added above the tree; on each selection, the box follows it.
#include "path_dialog.h"
#include "resource.h"

namespace {

const DWORD kPathBoxStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL;  // 0x50010080

// Makes OK follow the path box once the browser has finished what it is
// doing: a change notice of the box, posted, reaches OnPathEdited after the
// browser's own handling. Wine's browser enables or disables OK by its own
// view of the selected item after the selection callback returns (the
// desktop, say, which has no path here but counts as a folder there), and
// when the initial folder cannot be selected the box stays empty while OK
// keeps the state of the browser's first selection.
void PostPathBoxChange(HWND browser) {
  HWND pathBox = ::GetDlgItem(browser, IDC_BROWSER_PATH_EDIT);
  ::PostMessageA(browser, WM_COMMAND, MAKEWPARAM(IDC_BROWSER_PATH_EDIT, EN_CHANGE), reinterpret_cast<LPARAM>(pathBox));
}

}  // namespace

void CPathDialog::OnInitialized(HWND browser) {
  m_hBrowser = browser;
  if (m_lpszCaption != nullptr) ::SetWindowTextA(browser, m_lpszCaption);
  m_sub.SubclassWindow(browser);
  // Message boxes of the checks belong to the browser, so that it is
  // disabled while one is open and OK cannot be pressed a second time.
  AfxSetModalOwner(browser);
  ::ShowWindow(::GetDlgItem(browser, IDC_BROWSER_STATUS), SW_HIDE);

  // The box spans the tree's width and ends 4 pixels above it.
  RECT tree = {};
  ::GetWindowRect(::GetDlgItem(browser, IDC_BROWSER_TREE), &tree);
  RECT box = {tree.left, tree.top - 27, tree.right, tree.top - 4};
  ::ScreenToClient(browser, reinterpret_cast<LPPOINT>(&box.left));
  ::ScreenToClient(browser, reinterpret_cast<LPPOINT>(&box.right));
  HWND pathBox = ::CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", kPathBoxStyle, box.left, box.top,
                                   box.right - box.left, box.bottom - box.top, browser, nullptr,
                                   ::GetModuleHandleA(nullptr), nullptr);
  ::SetWindowLongA(pathBox, GWL_ID, IDC_BROWSER_PATH_EDIT);
  ::ShowWindow(pathBox, SW_SHOW);
  LRESULT font = ::SendMessageA(browser, WM_GETFONT, 0, 0);
  ::SendMessageA(pathBox, WM_SETFONT, static_cast<WPARAM>(font), 1);

  char currentDirectory[kPathBufferSize] = "";
  LPCSTR initial = m_lpszInitialFolder;
  if (initial == nullptr) {
    // A current directory too long for the buffer leaves it empty.
    DWORD length = ::GetCurrentDirectoryA(kPathBufferSize, currentDirectory);
    if (length >= kPathBufferSize) currentDirectory[0] = '\0';
    initial = currentDirectory;
  }
  ::SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(initial));
  PostPathBoxChange(browser);
}

void CPathDialog::OnSelectionChanged(HWND browser, LPCITEMIDLIST item) {
  // Only a folder on a drive letter is offered: network paths and virtual
  // folders leave the box empty and OK disabled.
  char path[kPathBufferSize] = "";
  if (!::SHGetPathFromIDListA(item, path) || path[1] != ':') path[0] = '\0';
  BOOL usable = path[0] != '\0';
  ::SendMessageA(browser, BFFM_ENABLEOK, 0, usable);
  ::SendMessageA(browser, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(path));
  // Setting the box's text runs OnPathEdited, which takes it as the path.
  if (HWND pathBox = ::GetDlgItem(browser, IDC_BROWSER_PATH_EDIT)) ::SetWindowTextA(pathBox, path);
  PostPathBoxChange(browser);
}
