// The driver's sample program: a modal dialog whose exit code tells how it
// ended (IDOK, IDCANCEL, or the answer to the Abort/Retry/Ignore box).
#include <windows.h>

#include "sample_ids.h"

namespace {

HBRUSH g_red;

INT_PTR CALLBACK SampleProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_CTLCOLORSTATIC:
      if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == IDC_SWATCH) return reinterpret_cast<INT_PTR>(g_red);
      return FALSE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_PATH:
          if (HIWORD(wParam) == EN_CHANGE) {
            wchar_t text[260];
            GetDlgItemTextW(dialog, IDC_PATH, text, 260);
            SetDlgItemTextW(dialog, IDC_ECHO, text);
          }
          return TRUE;
        case IDC_ASK:
          EndDialog(dialog, MessageBoxW(dialog, L"要继续吗？", L"样例询问", MB_ABORTRETRYIGNORE));
          return TRUE;
        case IDOK:
        case IDCANCEL:
          EndDialog(dialog, LOWORD(wParam));
          return TRUE;
      }
      return FALSE;
  }
  return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  g_red = CreateSolidBrush(RGB(255, 0, 0));
  INT_PTR result = DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_SAMPLE), nullptr, SampleProc, 0);
  DeleteObject(g_red);
  return static_cast<int>(result);
}
