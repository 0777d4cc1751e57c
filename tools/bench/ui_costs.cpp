// The cost of the install's window work, measured on a window of our own
// shaped like the setup dialog (430 x 420 pixels, a 384 x 10 progress bar).
#include "clock.h"
#include "ui_costs.h"

#include <windows.h>

#include <commctrl.h>

namespace bench {
namespace {

// Handles what is pending (the first paint above all).
void Pump() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

struct TestWindow {
  TestWindow() {
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&classes);
    window = CreateWindowExA(0, "#32770", "bench", WS_POPUP | WS_CAPTION | WS_VISIBLE, 100, 100, 430, 420, nullptr,
                             nullptr, GetModuleHandleA(nullptr), nullptr);
    progress = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE | WS_BORDER, 20, 350, 384, 10, window,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
    SendMessageA(progress, PBM_SETRANGE, 0, MAKELPARAM(0, 50));
    SendMessageA(progress, PBM_SETSTEP, 1, 0);
    UpdateWindow(window);
    Pump();
  }
  ~TestWindow() { DestroyWindow(window); }
  HWND window;
  HWND progress;
};

}  // namespace

double TimeProgressSteps(int steps) {
  TestWindow test;
  double start = NowMs();
  for (int i = 0; i < steps; ++i) SendMessageA(test.progress, PBM_STEPIT, 0, 0);
  return NowMs() - start;
}

double TimeWindowResize() {
  TestWindow test;
  double start = NowMs();
  MoveWindow(test.window, 100, 100, 430, 390, TRUE);
  return NowMs() - start;
}

}  // namespace bench
