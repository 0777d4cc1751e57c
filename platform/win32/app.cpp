// The application object and the program's entry point: the framework's
// start-up, then InitInstance, then the end of the program.
#include "afx_dialog.h"

namespace {
CWinApp* g_app = nullptr;
HINSTANCE g_instance = nullptr;
}  // namespace

CWinApp::CWinApp(LPCSTR appName) : m_pszAppName(appName) { g_app = this; }

CWinApp::~CWinApp() {
  if (g_app == this) g_app = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() { return 0; }

void CWinApp::OnHelp() {}

CWinApp* AfxGetApp() { return g_app; }

HINSTANCE AfxGetResourceHandle() { return g_instance ? g_instance : ::GetModuleHandleA(nullptr); }

HINSTANCE AfxFindResourceHandle(LPCSTR name, LPCSTR type) {
  HINSTANCE module = AfxGetResourceHandle();
  return ::FindResourceA(module, name, type) ? module : nullptr;
}

void AfxEnableControlContainer() {}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  g_instance = instance;
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
  CWinApp* app = AfxGetApp();
  if (app == nullptr) return -1;
  int exitCode = 0;
  try {
    // A dialog program's InitInstance runs its dialog and returns FALSE: the
    // program then ends without a message loop of its own.
    if (app->InitInstance()) {
      MSG message;
      while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
      }
    }
    exitCode = app->ExitInstance();
  } catch (const std::exception& error) {
    ::MessageBoxA(nullptr, error.what(), nullptr, MB_OK | MB_ICONERROR);
    exitCode = -1;
  }
  return exitCode;
}
