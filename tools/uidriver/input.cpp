// Operating a program's controls from another process: clicks, typed text,
// keys, the close box and message-box answers.
#include "driver_internal.h"

namespace uidriver {
namespace {

// Returns once the thread that owns the control has handled what was sent to
// it so far: a WM_NULL behind it in the queue of sent messages is answered
// when the program next waits for messages, which is after the handler
// returned or inside the modal loop that the handler opened.
void WaitHandled(HWND control, const std::string& what, DWORD timeoutMs) {
  HWND owner = GetAncestor(control, GA_ROOTOWNER);
  DWORD_PTR ignored = 0;
  if (SendMessageTimeoutW(owner, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &ignored)) return;
  if (!IsWindow(owner)) return;  // it closed
  throw Failure(what + ": the program did not finish handling it within " + std::to_string(timeoutMs) + " ms");
}

}  // namespace

void Click(HWND window, int id, DWORD timeoutMs) {
  HWND control = ControlOf(window, id);
  std::string name = Name(control);
  if (!IsWindowVisible(control)) throw Failure("cannot click " + name + ": it is hidden");
  if (!IsWindowEnabled(control)) throw Failure("cannot click " + name + ": it is disabled");
  // Queued, not sent: the handler may open a modal loop and must not hold us.
  // A notify message keeps its place among the messages we send afterwards,
  // which a posted one does not.
  if (!SendNotifyMessageW(control, BM_CLICK, 0, 0))
    throw Failure("cannot click " + name + ": error " + std::to_string(GetLastError()));
  WaitHandled(control, "click on " + name, timeoutMs);
}

void SetText(HWND window, int id, const std::string& text) {
  HWND control = ControlOf(window, id);
  std::wstring wide = Widen(text);
  Ask(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()), "setting the text of " + Name(control));
}

void PressKey(HWND window, Key key, int controlId) {
  HWND target = ControlOf(window, controlId);
  // Posted, so that the dialog manager in the program's message loop sees
  // the key as it sees a typed one.
  UINT vk = key == Key::Enter ? VK_RETURN : VK_ESCAPE;
  LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)) << 16;
  if (!PostMessageW(target, WM_KEYDOWN, vk, scan | 1) ||
      !PostMessageW(target, WM_KEYUP, vk, scan | 1 | static_cast<LPARAM>(0xC0000000u)))
    throw Failure("cannot press a key in " + Name(target) + ": error " + std::to_string(GetLastError()));
}

void Close(HWND window) {
  if (!PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0))
    throw Failure("cannot close " + Name(window) + ": error " + std::to_string(GetLastError()));
}

void AnswerMessageBox(HWND box, int buttonId) { Click(box, buttonId); }

}  // namespace uidriver
