// What the driver's files share: asking a window of another process with a
// timeout, naming windows in failure messages, and polling for a condition.
#pragma once

#include <functional>

#include "ui_driver.h"

namespace uidriver {

// How long a window may take to answer one message before the program is
// taken for hung.
constexpr DWORD kAnswerMs = 5000;

// SendMessageTimeoutW; Failure naming `what` when the window does not answer.
LRESULT Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam, const std::string& what,
            DWORD timeoutMs = kAnswerMs);
// WM_GETTEXT, so that it works across processes and code pages.
std::string ReadText(HWND window);
// "window "caption"" for failure messages.
std::string Name(HWND window);
// The control with this id below the window; Failure if there is none.
HWND ControlOf(HWND window, int id);
// Calls done() every 50 ms until it returns true or timeoutMs have passed.
bool PollUntil(DWORD timeoutMs, const std::function<bool()>& done);

}  // namespace uidriver
