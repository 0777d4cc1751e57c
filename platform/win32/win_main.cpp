// The program's entry point: the framework's start-up (a safe DLL search
// path, the common controls), then InitInstance, then the end of the program.
#include "afx_dialog.h"


namespace {

// DLLs are looked for in the system folder only, so that a DLL planted
// beside the download (in the program's or the current folder) is never
// loaded. SetDefaultDllDirectories is looked up at run time: systems
// without it still start, with the current folder at least removed.
void RestrictDllSearchPath() {
  typedef BOOL(WINAPI * SetDefaultDllDirectoriesFunction)(DWORD);
  HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
  auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
      reinterpret_cast<void*>(::GetProcAddress(kernel, "SetDefaultDllDirectories")));
  if (setDefault == nullptr || !setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) ::SetDllDirectoryA("");
}

// The common controls (the progress bar's window class) come from the
// system folder by full path: comctl32 is no known DLL, so importing it
// would let the loader take one planted beside the program.
void LoadCommonControls() {
  char path[MAX_PATH + 16];
  UINT length = ::GetSystemDirectoryA(path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  lstrcatA(path, "\\comctl32.dll");
  HMODULE controls = ::LoadLibraryA(path);
  if (controls == nullptr) return;
  typedef BOOL(WINAPI * InitCommonControlsExFunction)(const INITCOMMONCONTROLSEX*);
  auto init = reinterpret_cast<InitCommonControlsExFunction>(
      reinterpret_cast<void*>(::GetProcAddress(controls, "InitCommonControlsEx")));
  INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  if (init != nullptr) init(&classes);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  RestrictDllSearchPath();
  LoadCommonControls();
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
    MessageBoxA(nullptr, error.what(), nullptr, MB_OK | MB_ICONERROR);
    exitCode = -1;
  }
  return exitCode;
}
