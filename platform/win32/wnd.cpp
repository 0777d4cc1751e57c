// CWnd on the real window system: window operations, child wrappers, data
// exchange entry point, subclassing through the message map.
#include <map>
#include <vector>

#include "afx_dialog.h"

namespace {

// Windows subclassed by a CWnd, so that their procedure finds the object.
std::map<HWND, CWnd*>& SubclassedWindows() {
  static std::map<HWND, CWnd*> windows;
  return windows;
}

}  // namespace

BOOL CWnd::ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }

BOOL CWnd::EnableWindow(BOOL bEnable) { return ::EnableWindow(m_hWnd, bEnable); }

BOOL CWnd::IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }

BOOL CWnd::IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }

int CWnd::GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }

CWnd* CWnd::GetDlgItem(int nID) const {
  // The wrapper lives as long as this window object; a missing control gives
  // a wrapper without a window, on which every operation does nothing.
  std::unique_ptr<CWnd>& child = m_children[nID];
  if (!child) child = std::make_unique<CWnd>();
  child->m_hWnd = ::GetDlgItem(m_hWnd, nID);
  return child.get();
}

void CWnd::SetWindowText(LPCSTR text) { ::SetWindowTextA(m_hWnd, text); }

CString CWnd::GetWindowText() const {
  int length = ::GetWindowTextLengthA(m_hWnd);
  std::vector<char> text(static_cast<size_t>(length) + 2, '\0');
  ::GetWindowTextA(m_hWnd, text.data(), length + 1);
  return CString(text.data());
}

void CWnd::GetWindowRect(LPRECT rect) const { ::GetWindowRect(m_hWnd, rect); }

void CWnd::ScreenToClient(LPRECT rect) const {
  ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(&rect->left));
  ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(&rect->right));
}

void CWnd::ScreenToClient(LPPOINT point) const { ::ScreenToClient(m_hWnd, point); }

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint) {
  ::MoveWindow(m_hWnd, x, y, width, height, repaint);
}

void CWnd::MoveWindow(LPCRECT rect, BOOL repaint) {
  MoveWindow(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, repaint);
}

CWnd* CWnd::SetFocus() {
  ::SetFocus(m_hWnd);
  return nullptr;
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate) {
  CDataExchange exchange(this, bSaveAndValidate);
  DoDataExchange(&exchange);
  return TRUE;
}

CWnd* CWnd::GetSafeOwner(CWnd* parent, HWND* topWindow) {
  // The owner a modal window should have: the given parent, else the
  // program's running dialog; none when neither exists.
  if (topWindow) *topWindow = nullptr;
  if (parent != nullptr && parent->m_hWnd != nullptr) return parent;
  static CWnd modalOwner;
  modalOwner.m_hWnd = AfxGetModalOwner();
  return modalOwner.m_hWnd ? &modalOwner : nullptr;
}

HBRUSH CWnd::OnCtlColor(CDC*, CWnd*, UINT) {
  // The system's own colours for the message being handled.
  return reinterpret_cast<HBRUSH>(::DefWindowProcA(m_hWnd, m_currentMessage, m_currentWParam, m_currentLParam));
}

bool CWnd::DispatchMessageMap(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  m_currentMessage = message;
  m_currentWParam = wParam;
  m_currentLParam = lParam;
  if (message == WM_COMMAND) {
    if (!OnCmdMsg(HIWORD(wParam), LOWORD(wParam))) return false;
    *result = 0;
    return true;
  }
  if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
    const AFX_MSGMAP_ENTRY* entry = FindEntry(WM_CTLCOLOR, 0, 0);
    if (entry == nullptr || entry->nSig != AfxSig_hDWw) return false;
    CDC dc(reinterpret_cast<HDC>(wParam));
    CWnd control;
    control.m_hWnd = message == WM_CTLCOLORDLG ? m_hWnd : reinterpret_cast<HWND>(lParam);
    *result = reinterpret_cast<LRESULT>((this->*entry->pfnCtlColor)(&dc, &control, message - WM_CTLCOLORMSGBOX));
    control.m_hWnd = nullptr;
    return true;
  }
  return false;
}

LRESULT CALLBACK AfxSubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto found = SubclassedWindows().find(hwnd);
  if (found == SubclassedWindows().end()) return ::DefWindowProcA(hwnd, message, wParam, lParam);
  CWnd* wnd = found->second;
  WNDPROC previous = wnd->m_previousProc;
  if (message == WM_NCDESTROY) {
    wnd->UnsubclassWindow();
    return ::CallWindowProcA(previous, hwnd, message, wParam, lParam);
  }
  try {
    LRESULT result = 0;
    if (wnd->DispatchMessageMap(message, wParam, lParam, &result)) return result;
  } catch (const std::exception& error) {
    // Nothing may unwind through the system's code: report and carry on.
    MessageBoxA(hwnd, error.what(), nullptr, MB_OK | MB_ICONERROR);
    return 0;
  }
  return ::CallWindowProcA(previous, hwnd, message, wParam, lParam);
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
  if (hWnd == nullptr || m_hWnd != nullptr) return FALSE;
  m_hWnd = hWnd;
  SubclassedWindows()[hWnd] = this;
  m_previousProc = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxSubclassProc)));
  return TRUE;
}

HWND CWnd::UnsubclassWindow() {
  HWND hWnd = m_hWnd;
  if (hWnd == nullptr) return nullptr;
  if (m_previousProc != nullptr && ::IsWindow(hWnd))
    ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previousProc));
  SubclassedWindows().erase(hWnd);
  m_previousProc = nullptr;
  m_hWnd = nullptr;
  return hWnd;
}
