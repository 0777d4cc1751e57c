// Drives a Win32 program from outside, as a user would: starts it, finds its
// windows by caption, reads and operates its controls, answers its message
// boxes and takes screenshots. Every text in and out is UTF-8.
#pragma once

#include <windows.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace uidriver {

// Every failure of the driver; the message names what was asked for.
class Failure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& utf16);
// An absolute Unix path as Wine shows it on drive Z: ("/tmp/a" is "Z:\tmp\a");
// any other path unchanged.
std::string WindowsPath(const std::string& path);
// This program's command-line words after its name, as UTF-8.
std::vector<std::string> CommandLineWords();

// --- Processes ---

struct StartOptions {
  std::string workdir;            // empty: the driver's own
  std::vector<std::string> args;  // after the program's name
  // true: the program gets neither the caller's stdin nor its stdout. Under
  // Wine a program otherwise keeps the caller's stdout open for its whole
  // life, so that `$(uidriver start ...)` would wait for its end.
  bool detached = false;
};

// A started (or attached) program. Dropping the last copy leaves it running.
class Process {
 public:
  Process() = default;
  static Process Start(const std::string& exe, const StartOptions& options = {});
  static Process Attach(DWORD pid);

  DWORD Id() const { return m_id; }
  HANDLE Handle() const { return m_handle.get(); }
  // The exit code; Failure when the program still runs after timeoutMs.
  DWORD WaitExit(DWORD timeoutMs) const;
  // Ends the program if it still runs and waits until it is gone.
  void Terminate();

 private:
  Process(HANDLE handle, DWORD id, std::string name) : m_handle(handle, CloseHandle), m_id(id), m_name(name) {}
  std::shared_ptr<void> m_handle;
  DWORD m_id = 0;
  std::string m_name;
};

// --- Windows and controls ---

// Waits for a visible top-level window of process pid (0: of any process)
// with exactly this caption and, unless empty, this window class; Failure
// naming the windows the process shows when none comes in time.
HWND WaitTopWindow(DWORD pid, const std::string& caption, DWORD timeoutMs, const std::string& className = "");
void WaitWindowGone(HWND window, DWORD timeoutMs);

struct Control {
  HWND hwnd = nullptr;
  int id = 0;
  std::string className;
  bool visible = false;
  bool enabled = false;
  int checked = -1;  // BM_GETCHECK of a button (0, 1, 2); -1 for other classes
  std::string text;
  RECT screen = {};  // window rectangle on the screen
  RECT client = {};  // the same rectangle relative to the top window's client area
};

// Every control below the window (children and their children), in Z order.
std::vector<Control> ListControls(HWND window);
// The first control with this id; Failure if there is none.
Control ReadControl(HWND window, int id);
// One line: id, class, visible, enabled, checked, client rectangle, text.
std::string DescribeControl(const Control& control);

// Clicks a visible, enabled control (BM_CLICK) and returns once the program
// has handled the click or has entered a modal loop (a message box, say).
void Click(HWND window, int id, DWORD timeoutMs = 30000);
// Sets an edit box's text as typing would end up: the box sends EN_CHANGE.
void SetText(HWND window, int id, const std::string& text);

enum class Key { Enter, Escape };
// Presses a key in the control of the window, as if it had the keyboard focus.
void PressKey(HWND window, Key key, int controlId);
// What the close box of the caption does.
void Close(HWND window);

// --- Message boxes ---

struct MessageBoxInfo {
  HWND hwnd = nullptr;
  std::string caption;
  std::string text;
  std::vector<std::pair<int, std::string>> buttons;  // id and text, visible ones
};

MessageBoxInfo WaitMessageBox(DWORD pid, const std::string& caption, DWORD timeoutMs);
void AnswerMessageBox(HWND box, int buttonId);

// --- Screenshots ---

// Saves what the screen shows of the window (nullptr: the whole virtual
// desktop) as a 24-bit Windows bitmap file (.bmp).
void SaveScreenshot(HWND window, const std::string& bmpPath);

}  // namespace uidriver
