// The install floor: the setup program's dialog; its Install button copies
// every file of the folder Data (in the working folder) into the setup's
// default target C:\Tavrin\T-RedavIzor with CopyFileA and then shows the
// finished button, as the setup program does after its install.
#include <windows.h>

#include <commctrl.h>

#include <string>

#include "resource.h"

namespace {

void CopyPayload() {
  const std::string target = "C:\\Tavrin\\T-RedavIzor";
  CreateDirectoryA("C:\\Tavrin", nullptr);
  CreateDirectoryA(target.c_str(), nullptr);
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA("Data\\*.*", &entry);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    CopyFileA((std::string("Data\\") + entry.cFileName).c_str(), (target + "\\" + entry.cFileName).c_str(), FALSE);
  } while (FindNextFileA(search, &entry));
  FindClose(search);
}

INT_PTR CALLBACK CopyOnInstall(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message != WM_COMMAND) return FALSE;
  switch (LOWORD(wParam)) {
    case IDC_INSTALL:
      CopyPayload();
      ShowWindow(GetDlgItem(dialog, IDOK), SW_SHOWNORMAL);
      return TRUE;
    case IDOK:
    case IDCANCEL:
      EndDialog(dialog, LOWORD(wParam));
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&classes);
  return static_cast<int>(DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_SETUP), nullptr, CopyOnInstall, 0));
}
