// Finding top-level windows by caption and reading their controls and
// message boxes from another process.
#include <cstdio>

#include "driver_internal.h"

namespace uidriver {
namespace {

// Id of the text of a message box (Windows and Wine alike).
constexpr int kMessageBoxTextId = 0xFFFF;

std::string ClassOf(HWND window) {
  wchar_t name[256];
  int length = GetClassNameW(window, name, 256);
  return Narrow(std::wstring(name, length > 0 ? length : 0));
}

std::string WindowCaption(HWND window) {
  wchar_t caption[512];
  int length = GetWindowTextW(window, caption, 512);
  return Narrow(std::wstring(caption, length > 0 ? length : 0));
}

bool IsButton(const std::string& className) { return _stricmp(className.c_str(), "Button") == 0; }

// Check boxes and radio buttons of every kind (BS_CHECKBOX to BS_AUTO3STATE,
// and BS_AUTORADIOBUTTON); push buttons and group boxes have no check state.
bool IsCheckable(HWND button) {
  const LONG type = GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK;
  return (type >= BS_CHECKBOX && type <= BS_AUTO3STATE) || type == BS_AUTORADIOBUTTON;
}

struct TopWindowSearch {
  DWORD pid;
  std::string caption, className;
  HWND found = nullptr;
  std::vector<std::string> seen = {};  // captions of the process's windows, for the failure message
};

BOOL CALLBACK VisitTopWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<TopWindowSearch*>(data);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if ((search->pid != 0 && pid != search->pid) || !IsWindowVisible(window)) return TRUE;
  std::string text = WindowCaption(window);
  if (search->pid != 0) search->seen.push_back("\"" + text + "\" (" + ClassOf(window) + ")");
  if (text != search->caption) return TRUE;
  if (!search->className.empty() && ClassOf(window) != search->className) return TRUE;
  search->found = window;
  return FALSE;
}

BOOL CALLBACK CollectChild(HWND child, LPARAM data) {
  reinterpret_cast<std::vector<HWND>*>(data)->push_back(child);
  return TRUE;
}

// A text on one line: line breaks, tabs and backslashes escaped as in C.
std::string Escape(const std::string& text) {
  std::string out;
  for (char c : text) {
    const char* escaped = c == '\n' ? "\\n" : c == '\r' ? "\\r" : c == '\t' ? "\\t" : c == '\\' ? "\\\\" : nullptr;
    out += escaped ? std::string(escaped) : std::string(1, c);
  }
  return out;
}

}  // namespace

LRESULT Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam, const std::string& what, DWORD timeoutMs) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL | SMTO_ABORTIFHUNG, timeoutMs, &result))
    throw Failure(what + ": no answer within " + std::to_string(timeoutMs) + " ms (error " +
                  std::to_string(GetLastError()) + ")");
  return static_cast<LRESULT>(result);
}

std::string ReadText(HWND window) {
  std::string what = "reading the text of " + Name(window);
  LRESULT length = Ask(window, WM_GETTEXTLENGTH, 0, 0, what);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  LRESULT got = Ask(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]), what);
  text.resize(static_cast<size_t>(got));
  return Narrow(text);
}

std::string Name(HWND window) {
  if (window == nullptr) return "the desktop";
  if (GetParent(window) != nullptr && (GetWindowLongW(window, GWL_STYLE) & WS_CHILD))
    return "control " + std::to_string(GetDlgCtrlID(window)) + " of " + Name(GetAncestor(window, GA_ROOT));
  return "window \"" + WindowCaption(window) + "\"";
}

HWND ControlOf(HWND window, int id) {
  std::vector<HWND> children;
  EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&children));
  for (HWND child : children)
    if (GetDlgCtrlID(child) == id) return child;
  throw Failure(Name(window) + " has no control " + std::to_string(id));
}

bool PollUntil(DWORD timeoutMs, const std::function<bool()>& done) {
  DWORD start = GetTickCount();
  for (;;) {
    if (done()) return true;
    if (GetTickCount() - start >= timeoutMs) return false;
    Sleep(50);
  }
}

HWND WaitTopWindow(DWORD pid, const std::string& caption, DWORD timeoutMs, const std::string& className) {
  TopWindowSearch search{pid, caption, className};
  PollUntil(timeoutMs, [&] {
    search.seen.clear();
    EnumWindows(VisitTopWindow, reinterpret_cast<LPARAM>(&search));
    return search.found != nullptr;
  });
  if (search.found != nullptr) return search.found;
  std::string message = "no window \"" + caption + "\"" + (className.empty() ? "" : " of class " + className) +
                        (pid != 0 ? " of pid " + std::to_string(pid) : "") + " appeared within " +
                        std::to_string(timeoutMs) + " ms";
  if (pid != 0) {
    message += "; the process shows ";
    if (search.seen.empty()) message += "no window";
    for (size_t i = 0; i < search.seen.size(); ++i) message += (i ? ", " : "") + search.seen[i];
  }
  throw Failure(message);
}

void WaitWindowGone(HWND window, DWORD timeoutMs) {
  std::string name = Name(window);
  if (!PollUntil(timeoutMs, [&] { return !IsWindow(window); }))
    throw Failure(name + " is still open after " + std::to_string(timeoutMs) + " ms");
}

std::vector<Control> ListControls(HWND window) {
  std::vector<HWND> children;
  EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&children));
  std::vector<Control> controls;
  for (HWND child : children) {
    Control control;
    control.hwnd = child;
    control.id = GetDlgCtrlID(child);
    control.className = ClassOf(child);
    control.visible = IsWindowVisible(child) != FALSE;
    control.enabled = IsWindowEnabled(child) != FALSE;
    if (IsButton(control.className) && IsCheckable(child))
      control.checked = static_cast<int>(Ask(child, BM_GETCHECK, 0, 0, "reading the check state of " + Name(child)));
    control.text = ReadText(child);
    GetWindowRect(child, &control.screen);
    control.client = control.screen;
    MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&control.client), 2);
    controls.push_back(control);
  }
  return controls;
}

Control ReadControl(HWND window, int id) {
  for (const Control& control : ListControls(window))
    if (control.id == id) return control;
  throw Failure(Name(window) + " has no control " + std::to_string(id));
}

std::string DescribeControl(const Control& control) {
  char rect[64];
  snprintf(rect, sizeof rect, "%ld,%ld,%ld,%ld", control.client.left, control.client.top,
           control.client.right - control.client.left, control.client.bottom - control.client.top);
  return "id=" + std::to_string(control.id) + " class=" + control.className +
         " visible=" + (control.visible ? "1" : "0") + " enabled=" + (control.enabled ? "1" : "0") +
         " checked=" + (control.checked < 0 ? "-" : std::to_string(control.checked)) + " rect=" + rect +
         " text=" + Escape(control.text);
}

MessageBoxInfo WaitMessageBox(DWORD pid, const std::string& caption, DWORD timeoutMs) {
  MessageBoxInfo info;
  info.hwnd = WaitTopWindow(pid, caption, timeoutMs, "#32770");
  info.caption = caption;
  for (const Control& control : ListControls(info.hwnd)) {
    if (control.id == kMessageBoxTextId) info.text = control.text;
    if (IsButton(control.className) && control.visible) info.buttons.emplace_back(control.id, control.text);
  }
  return info;
}

}  // namespace uidriver
