// CDialog on DialogBoxParam, and the data exchange between controls and
// members.
#include <algorithm>
#include <vector>

#include "afx_dialog.h"

namespace {

// Centres the window on its owner when the owner is shown, otherwise on the
// work area of its screen, as the framework centres a modal dialog: on the
// monitor nearest to it, and inside that monitor's work area, the left and
// top edges first, so that a window larger than the area keeps its caption
// on the screen.
void CentreWindow(HWND window) {
  HWND owner = ::GetWindow(window, GW_OWNER);
  const bool onOwner = owner != nullptr && ::IsWindowVisible(owner) && !::IsIconic(owner);
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  ::GetMonitorInfoA(::MonitorFromWindow(onOwner ? owner : window, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT area = monitor.rcWork;
  RECT centre = area, rect;
  if (onOwner) ::GetWindowRect(owner, &centre);
  ::GetWindowRect(window, &rect);
  const LONG width = rect.right - rect.left, height = rect.bottom - rect.top;
  const LONG left = centre.left + (centre.right - centre.left - width) / 2;
  const LONG top = centre.top + (centre.bottom - centre.top - height) / 2;
  ::SetWindowPos(window, nullptr, std::max(std::min(left, area.right - width), area.left),
                 std::max(std::min(top, area.bottom - height), area.top), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

INT_PTR CDialog::DoModal() {
  HWND parent = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
  HWND previousOwner = AfxGetModalOwner();
  INT_PTR result = ::DialogBoxParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_nIDTemplate), parent, &DialogProc,
                                     reinterpret_cast<LPARAM>(this));
  AfxSetModalOwner(previousOwner);
  m_hWnd = nullptr;
  return result;
}

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnOK() {
  UpdateData(TRUE);
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::EndDialog(int result) { ::EndDialog(m_hWnd, result); }

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CDialog* dialog = nullptr;
  if (message == WM_INITDIALOG) {
    dialog = reinterpret_cast<CDialog*>(lParam);
    ::SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
    dialog->m_hWnd = hwnd;
    AfxSetModalOwner(hwnd);
  } else {
    dialog = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hwnd, DWLP_USER));
  }
  if (dialog == nullptr) return FALSE;
  try {
    return dialog->HandleMessage(message, wParam, lParam);
  } catch (const std::exception& error) {
    // Nothing may unwind through the system's dialog manager: report the
    // error as the framework does and leave the dialog as it is.
    MessageBoxA(hwnd, error.what(), nullptr, MB_OK | MB_ICONERROR);
    return FALSE;
  }
}

INT_PTR CDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      // A dialog that its handler neither showed nor moved is centred.
      RECT before, after;
      ::GetWindowRect(m_hWnd, &before);
      BOOL result = OnInitDialog();
      ::GetWindowRect(m_hWnd, &after);
      if (!::IsWindowVisible(m_hWnd) && before.left == after.left && before.top == after.top) CentreWindow(m_hWnd);
      return result;
    }
    case WM_COMMAND: {
      LRESULT ignored = 0;
      if (DispatchMessageMap(message, wParam, lParam, &ignored)) return TRUE;
      UINT code = HIWORD(wParam), id = LOWORD(wParam);
      // The standard buttons, Enter, Escape and the close box.
      if (code == BN_CLICKED && id == IDOK) {
        OnOK();
        return TRUE;
      }
      if (code == BN_CLICKED && id == IDCANCEL) {
        OnCancel();
        return TRUE;
      }
      // Commands the dialog does not handle go on to the application.
      if (CWinApp* app = AfxGetApp()) return app->OnCmdMsg(code, id) ? TRUE : FALSE;
      return FALSE;
    }
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: {
      LRESULT brush = 0;
      if (DispatchMessageMap(message, wParam, lParam, &brush)) return static_cast<INT_PTR>(brush);
      return FALSE;
    }
    default:
      return FALSE;
  }
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& control) {
  if (control.m_hWnd == nullptr) control.Attach(::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, nIDC));
}

void DDX_Check(CDataExchange* pDX, int nIDC, BOOL& value) {
  HWND control = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, nIDC);
  if (pDX->m_bSaveAndValidate)
    value = static_cast<BOOL>(::SendMessageA(control, BM_GETCHECK, 0, 0));
  else
    ::SendMessageA(control, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
  HWND control = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, nIDC);
  if (pDX->m_bSaveAndValidate) {
    int length = ::GetWindowTextLengthA(control);
    std::vector<char> text(static_cast<size_t>(length) + 2, '\0');
    ::GetWindowTextA(control, text.data(), length + 1);
    value = text.data();
  } else {
    ::SetWindowTextA(control, value);
  }
}
