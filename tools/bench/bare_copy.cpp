// The install floor: the setup program's dialog; its Install button copies
// every file of one folder into another with CopyFileA and then shows the
// finished button, as the setup program does after its install.
//   bare_copy.exe <source folder> <destination folder>
#include <windows.h>

#include <commctrl.h>
#include <stdlib.h>

#include <string>

#include "resource.h"

namespace {

std::string g_source;
std::string g_destination;

// Creates the destination and its parent, then copies the source's files
// (not its folders) into it; the timing program counts what arrived.
void CopyFolderFiles() {
  size_t parentEnd = g_destination.find_last_of('\\');
  if (parentEnd != std::string::npos && parentEnd > 2)
    CreateDirectoryA(g_destination.substr(0, parentEnd).c_str(), nullptr);
  CreateDirectoryA(g_destination.c_str(), nullptr);
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((g_source + "\\*.*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    std::string name = entry.cFileName;
    CopyFileA((g_source + "\\" + name).c_str(), (g_destination + "\\" + name).c_str(), FALSE);
  } while (FindNextFileA(search, &entry));
  FindClose(search);
}

INT_PTR CALLBACK CopyOnInstall(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message != WM_COMMAND) return FALSE;
  switch (LOWORD(wParam)) {
    case IDC_INSTALL:
      CopyFolderFiles();
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
  if (__argc != 3) {
    MessageBoxA(nullptr, "usage: bare_copy <source folder> <destination folder>", "bare_copy", MB_OK);
    return 2;
  }
  g_source = __argv[1];
  g_destination = __argv[2];
  INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&classes);
  return static_cast<int>(DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_SETUP), nullptr, CopyOnInstall, 0));
}
