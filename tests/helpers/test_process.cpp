// A helper process for the tests: copied under other names (acad.exe) it
// shows up in the process list under that name until it is ended. It idles
// in a message loop, which tells its starter (WaitForInputIdle) that it runs.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
}
