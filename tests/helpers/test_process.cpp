// A helper process for the Wine tests: it runs until it is ended, and with
// "--hold <path>" keeps that file open without sharing meanwhile, as a
// running AutoCAD holds its files. Copied under other names (acad.exe) it
// shows up in the process list under that name.
#include <windows.h>

int main(int argc, char** argv) {
  HANDLE held = INVALID_HANDLE_VALUE;
  if (argc == 3 && lstrcmpA(argv[1], "--hold") == 0) {
    held = CreateFileA(argv[2], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (held == INVALID_HANDLE_VALUE) return 2;
  }
  // Tell the starter that the file is held, then wait to be ended.
  HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, "SetupTestProcessReady");
  if (ready != nullptr) {
    SetEvent(ready);
    CloseHandle(ready);
  }
  Sleep(INFINITE);
  return 0;
}
