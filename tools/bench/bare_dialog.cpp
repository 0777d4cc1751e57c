// The start-up floor: the setup program's resources and its dialog template,
// shown by DialogBoxParam with a procedure that does nothing but close.
#include <windows.h>

#include <commctrl.h>

#include "resource.h"

namespace {

// No initialisation, no painting of its own: only the close buttons, so that
// the timing program can end it as it ends the setup program.
INT_PTR CALLBACK DoNothing(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
    EndDialog(dialog, LOWORD(wParam));
    return TRUE;
  }
  return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  // The template holds a progress bar, whose class comes from comctl32.
  INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&classes);
  return static_cast<int>(DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_SETUP), nullptr, DoNothing, 0));
}
