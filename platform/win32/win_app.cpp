// The application object and the framework's global accessors.
#include "afx_dialog.h"

namespace {
CWinApp* g_app = nullptr;
}  // namespace

CWinApp::CWinApp(LPCSTR appName) : m_pszAppName(appName) { g_app = this; }

CWinApp::~CWinApp() {
  if (g_app == this) g_app = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() { return 0; }

void CWinApp::OnHelp() {}

CWinApp* AfxGetApp() { return g_app; }

HINSTANCE AfxGetResourceHandle() { return ::GetModuleHandleA(nullptr); }

HINSTANCE AfxFindResourceHandle(LPCSTR name, LPCSTR type) {
  HINSTANCE module = AfxGetResourceHandle();
  return ::FindResourceA(module, name, type) ? module : nullptr;
}

void AfxEnableControlContainer() {}
