// The framework's window object and the controls the logic folders use:
// CWnd with its message map, CButton and CProgressCtrl, message boxes. The
// window operations are in platform/win32/wnd.cpp, the rest in
// platform/common/wnd_core.cpp.
#pragma once

#include <map>
#include <memory>

#include "cstring.h"
#include "win_api.h"

class CCmdTarget;
class CWnd;
class CDC;

// Message map: the table of messages a window class handles, chained to its
// base class's table, after the framework's own design.
enum AfxSig {
  AfxSig_end = 0,
  AfxSig_vv,     // void Handler()
  AfxSig_hDWw,   // HBRUSH Handler(CDC*, CWnd*, UINT)
};
typedef void (CCmdTarget::*AFX_PMSG)();
typedef HBRUSH (CWnd::*AFX_PMSG_CTLCOLOR)(CDC*, CWnd*, UINT);

struct AFX_MSGMAP_ENTRY {
  UINT nMessage;
  UINT nCode;
  UINT nID;
  UINT nLastID;
  int nSig;
  AFX_PMSG pfn;                    // AfxSig_vv
  AFX_PMSG_CTLCOLOR pfnCtlColor;   // AfxSig_hDWw
};

struct AFX_MSGMAP {
  const AFX_MSGMAP* (*pfnGetBaseMap)();
  const AFX_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_MESSAGE_MAP()                     \
 protected:                                       \
  static const AFX_MSGMAP* GetThisMessageMap();   \
  const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                        \
  const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); }   \
  const AFX_MSGMAP* theClass::GetThisMessageMap() {                                   \
    typedef theClass ThisClass;                                                       \
    typedef baseClass TheBaseClass;                                                   \
    static const AFX_MSGMAP_ENTRY _messageEntries[] = {
#define END_MESSAGE_MAP()                                                              \
  {0, 0, 0, 0, AfxSig_end, nullptr, nullptr}};                                        \
  static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
  return &messageMap;                                                                 \
  }

#define ON_CONTROL(code, id, memberFxn) \
  {WM_COMMAND, static_cast<UINT>(code), static_cast<UINT>(id), static_cast<UINT>(id), AfxSig_vv, \
   static_cast<AFX_PMSG>(&ThisClass::memberFxn), nullptr},
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_COMMAND(id, memberFxn) ON_CONTROL(0, id, memberFxn)
#define ON_WM_CTLCOLOR()                                                             \
  {WM_CTLCOLOR, 0, 0, 0, AfxSig_hDWw, nullptr, static_cast<AFX_PMSG_CTLCOLOR>(&ThisClass::OnCtlColor)},

// What has a message map: windows and the application object.
class CCmdTarget {
 public:
  CCmdTarget() = default;
  CCmdTarget(const CCmdTarget&) = delete;
  CCmdTarget& operator=(const CCmdTarget&) = delete;
  virtual ~CCmdTarget();

  // Runs the handler of a WM_COMMAND (notification code, control id) from
  // this class's map or its bases'; false when there is none.
  bool OnCmdMsg(UINT code, UINT id);

 protected:
  static const AFX_MSGMAP* GetThisMessageMap();
  virtual const AFX_MSGMAP* GetMessageMap() const;
  // The first entry of the map chain for (message, code, id), or null.
  const AFX_MSGMAP_ENTRY* FindEntry(UINT message, UINT code, UINT id) const;
};

class CWnd : public CCmdTarget {
 public:
  CWnd() = default;
  ~CWnd() override;

  HWND m_hWnd = nullptr;

  HWND GetSafeHwnd() const { return m_hWnd; }
  BOOL Attach(HWND hWnd);
  HWND Detach();
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  // A message box owned by this window.
  int MessageBox(LPCSTR text, LPCSTR caption = nullptr, UINT type = MB_OK);

  // Window operations (win32 backend only).
  BOOL ShowWindow(int nCmdShow);
  BOOL EnableWindow(BOOL bEnable = TRUE);
  BOOL IsWindowVisible() const;
  BOOL IsWindowEnabled() const;
  int GetDlgCtrlID() const;
  CWnd* GetDlgItem(int nID) const;
  void SetWindowText(LPCSTR text);
  CString GetWindowText() const;
  void GetWindowRect(LPRECT rect) const;
  void ScreenToClient(LPRECT rect) const;
  void ScreenToClient(LPPOINT point) const;
  void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
  void MoveWindow(LPCRECT rect, BOOL repaint = TRUE);
  CWnd* SetFocus();
  BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
  virtual void DoDataExchange(class CDataExchange* pDX);
  // Routes this window's messages through its message map, then to the
  // window procedure it had before.
  BOOL SubclassWindow(HWND hWnd);
  HWND UnsubclassWindow();
  static CWnd* GetSafeOwner(CWnd* parent = nullptr, HWND* topWindow = nullptr);
  HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);

  // Looks the message up in this class's map and its bases'; true when a
  // handler ran, with its result in *result.
  bool DispatchMessageMap(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

 protected:
  // The message being handled, for the default processing of OnCtlColor.
  UINT m_currentMessage = 0;
  WPARAM m_currentWParam = 0;
  LPARAM m_currentLParam = 0;

 private:
  friend LRESULT CALLBACK AfxSubclassProc(HWND, UINT, WPARAM, LPARAM);
  WNDPROC m_previousProc = nullptr;
  mutable std::map<int, std::unique_ptr<CWnd>> m_children;  // wrappers handed out by GetDlgItem
};

class CButton : public CWnd {
 public:
  int GetCheck() const;
  void SetCheck(int state);
};

class CProgressCtrl : public CWnd {
 public:
  void SetRange(short lower, short upper);
  int SetPos(int position);
  int SetStep(int step);
  int StepIt();
  int GetPos();
};

// A message box owned by the innermost running dialog, captioned with the
// application's name (the program's file name without its extension).
int AfxMessageBox(LPCSTR text, UINT type = MB_OK, UINT helpId = 0);
// The window that owns the program's message boxes: the running modal
// dialog, or none.
HWND AfxGetModalOwner();
void AfxSetModalOwner(HWND owner);
