// The parts of CWnd and its controls that need no window operations of
// their own: message maps, handles, messages, message boxes.
#include <cstring>

#include "afx_wnd.h"

namespace {
HWND g_modalOwner = nullptr;
}

CCmdTarget::~CCmdTarget() = default;

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
  static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, AfxSig_end, nullptr, nullptr}};
  static const AFX_MSGMAP map = {nullptr, &entries[0]};
  return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

const AFX_MSGMAP_ENTRY* CCmdTarget::FindEntry(UINT message, UINT code, UINT id) const {
  for (const AFX_MSGMAP* map = GetMessageMap(); map != nullptr;
       map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
    for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry->nSig != AfxSig_end; ++entry) {
      if (entry->nMessage != message) continue;
      if (message != WM_COMMAND || (entry->nCode == code && id >= entry->nID && id <= entry->nLastID)) return entry;
    }
  }
  return nullptr;
}

bool CCmdTarget::OnCmdMsg(UINT code, UINT id) {
  const AFX_MSGMAP_ENTRY* entry = FindEntry(WM_COMMAND, code, id);
  if (entry == nullptr || entry->nSig != AfxSig_vv) return false;
  (this->*entry->pfn)();
  return true;
}

CWnd::~CWnd() = default;

BOOL CWnd::Attach(HWND hWnd) {
  if (hWnd == nullptr || m_hWnd != nullptr) return FALSE;
  m_hWnd = hWnd;
  return TRUE;
}

HWND CWnd::Detach() {
  HWND hWnd = m_hWnd;
  m_hWnd = nullptr;
  return hWnd;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

int CWnd::MessageBox(LPCSTR text, LPCSTR caption, UINT type) {
  return MessageBoxA(m_hWnd, text, caption, type);
}

void CWnd::DoDataExchange(CDataExchange*) {}

int CButton::GetCheck() const { return static_cast<int>(::SendMessageA(m_hWnd, BM_GETCHECK, 0, 0)); }

void CButton::SetCheck(int state) { ::SendMessageA(m_hWnd, BM_SETCHECK, static_cast<WPARAM>(state), 0); }

void CProgressCtrl::SetRange(short lower, short upper) {
  SendMessage(PBM_SETRANGE, 0, MAKELPARAM(lower, upper));
}

int CProgressCtrl::SetPos(int position) { return static_cast<int>(SendMessage(PBM_SETPOS, static_cast<WPARAM>(position), 0)); }

int CProgressCtrl::SetStep(int step) { return static_cast<int>(SendMessage(PBM_SETSTEP, static_cast<WPARAM>(step), 0)); }

int CProgressCtrl::StepIt() { return static_cast<int>(SendMessage(PBM_STEPIT, 0, 0)); }

int CProgressCtrl::GetPos() { return static_cast<int>(SendMessage(PBM_GETPOS, 0, 0)); }

HWND AfxGetModalOwner() { return g_modalOwner; }

void AfxSetModalOwner(HWND owner) { g_modalOwner = owner; }

int AfxMessageBox(LPCSTR text, UINT type, UINT) {
  // The application's name, as the framework derives it when none is
  // given: the program's file name without its folder and extension.
  char path[MAX_PATH + 1] = "";
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length >= MAX_PATH) path[0] = '\0';
  CString name(path);
  name = name.Mid(name.ReverseFind('\\') + 1);
  int dot = name.ReverseFind('.');
  if (dot > 0) name = name.Left(dot);
  return MessageBoxA(AfxGetModalOwner(), text, name, type);
}
