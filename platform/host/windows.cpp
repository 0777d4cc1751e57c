// The user interface as the logic folders see it in the host emulation:
// message boxes answered by the test, and progress controls that keep range,
// step and position as the common controls do.
#include <map>

#include "host_internal.h"
#include "host_test_api.h"
#include "seams.h"

namespace host {
namespace {

struct Progress {
  int low = 0, high = 100, step = 10, position = 0;
};

struct Windows {
  std::map<uintptr_t, Progress> progress;
  uintptr_t nextWindow = 0x20000;
  std::vector<SentMessage> sent;
  std::function<int(const MessageBoxCall&)> answerer;
};

Windows& State() {
  static Windows state;
  return state;
}

LRESULT ProgressMessage(Progress& bar, UINT message, WPARAM wParam, LPARAM lParam) {
  int previous = bar.position;
  switch (message) {
    case PBM_SETRANGE:
      bar.low = LOWORD(lParam);
      bar.high = HIWORD(lParam);
      if (bar.position < bar.low) bar.position = bar.low;
      if (bar.position > bar.high) bar.position = bar.high;
      return MAKELPARAM(previous, 0);
    case PBM_SETPOS:
      bar.position = static_cast<int>(wParam);
      if (bar.position < bar.low) bar.position = bar.low;
      if (bar.position > bar.high) bar.position = bar.high;
      return previous;
    case PBM_SETSTEP: {
      int old = bar.step;
      bar.step = static_cast<int>(wParam);
      return old;
    }
    case PBM_STEPIT:
      // Past the maximum the position wraps: (pos - min) % (max - min) + min.
      bar.position += bar.step;
      if (bar.position > bar.high && bar.high > bar.low)
        bar.position = (bar.position - bar.low) % (bar.high - bar.low) + bar.low;
      return previous;
    case PBM_GETPOS:
      return bar.position;
    default:
      return 0;
  }
}

}  // namespace

void ResetWindows() { State() = Windows(); }

HWND CreateProgressControl() {
  uintptr_t handle = State().nextWindow;
  State().nextWindow += 4;
  State().progress[handle] = Progress();
  return reinterpret_cast<HWND>(handle);
}

const std::vector<SentMessage>& SentMessages() { return State().sent; }

}  // namespace host

void SeamSetMessageBoxAnswerer(std::function<int(const MessageBoxCall&)> answerer) {
  host::State().answerer = std::move(answerer);
}

int MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
  LONG error = 0;
  if (host::EnterCall("MessageBoxA", &error)) return 0;
  if (host::State().answerer) return host::State().answerer(MessageBoxCall{hWnd, lpText, lpCaption, uType});
  return IDOK;
}

LRESULT SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  host::State().sent.push_back(host::SentMessage{hWnd, Msg, wParam, lParam});
  auto bar = host::State().progress.find(reinterpret_cast<uintptr_t>(hWnd));
  if (bar == host::State().progress.end()) return 0;
  return host::ProgressMessage(bar->second, Msg, wParam, lParam);
}
