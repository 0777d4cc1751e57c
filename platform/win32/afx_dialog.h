// The framework's dialog-application pieces on top of the Win32 dialog API:
// GDI wrappers, data exchange, the modal dialog and the application object.
// Windows build only.
#pragma once

#include "afx.h"

class CGdiObject {
 public:
  CGdiObject() = default;
  CGdiObject(const CGdiObject&) = delete;
  CGdiObject& operator=(const CGdiObject&) = delete;
  virtual ~CGdiObject();
  BOOL Attach(HGDIOBJ object);
  BOOL DeleteObject();
  HGDIOBJ GetSafeHandle() const { return m_hObject; }
  HGDIOBJ m_hObject = nullptr;
};

class CBrush : public CGdiObject {
 public:
  BOOL CreateSolidBrush(COLORREF color);
  operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
};

class CFont : public CGdiObject {
 public:
  BOOL CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic, BYTE underline,
                  BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision, BYTE quality,
                  BYTE pitchAndFamily, LPCSTR faceName);
  operator HFONT() const { return static_cast<HFONT>(m_hObject); }
};

// A device context handed to a handler; it does not own the DC.
class CDC {
 public:
  explicit CDC(HDC dc) : m_hDC(dc) {}
  COLORREF SetTextColor(COLORREF color) { return ::SetTextColor(m_hDC, color); }
  int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
  HGDIOBJ SelectObject(CGdiObject* object) { return ::SelectObject(m_hDC, object->m_hObject); }
  HDC m_hDC;
};

class CDataExchange {
 public:
  CDataExchange(CWnd* dialog, BOOL saveAndValidate) : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}
  BOOL m_bSaveAndValidate;  // TRUE: controls to members; FALSE: members to controls
  CWnd* m_pDlgWnd;
};

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& control);
void DDX_Check(CDataExchange* pDX, int nIDC, BOOL& value);
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);

class CDialog : public CWnd {
 public:
  CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
  // Runs the dialog until EndDialog; returns its result.
  virtual INT_PTR DoModal();
  virtual BOOL OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();
  void EndDialog(int result);

  // The dialog procedure behind every CDialog: routes messages to the
  // message map and keeps exceptions from escaping into the system.
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

 protected:
  UINT m_nIDTemplate;
  CWnd* m_pParentWnd;

 private:
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
};

class CWinApp : public CCmdTarget {
 public:
  explicit CWinApp(LPCSTR appName = nullptr);
  ~CWinApp() override;
  virtual BOOL InitInstance();
  virtual int ExitInstance();
  // The framework's help command handler; the program has no help content.
  void OnHelp();
  LPCSTR m_pszAppName;
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetResourceHandle();
HINSTANCE AfxFindResourceHandle(LPCSTR name, LPCSTR type);
// The program uses no ActiveX controls; kept for the start-up sequence.
void AfxEnableControlContainer();
