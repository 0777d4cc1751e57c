// uidriver.exe: the UI driver for scripts, one operation per call. Captions
// and texts are UTF-8 on the command line and in the output; exit code 0 on
// success, 1 on failure (message on stderr), 2 on a usage error.
#include "ui_driver.h"

#include <shellapi.h>

#include <cstdlib>

using namespace uidriver;

namespace {

constexpr DWORD kFindMs = 5000;  // how long a command looks for the window it names

const char kUsage[] =
    "usage: uidriver <command> ...\n"
    "  start <exe> [workdir]                  start a program, print its pid\n"
    "  run <exe> [workdir] [timeout-ms]       start a program, wait for its end, print its exit code\n"
    "  wait-window <caption> [timeout-ms]     wait for a window, print the pid that owns it\n"
    "  dump <caption>                         one line per control\n"
    "  read <caption> <id>                    the line of one control\n"
    "  click <caption> <id>                   click a button or check box\n"
    "  set-text <caption> <id> <text>         set an edit box's text\n"
    "  key <caption> enter|escape [id]        press a key (in control id)\n"
    "  close <caption>                        the caption's close box\n"
    "  box <caption> [timeout-ms]             wait for a message box, print its text and buttons\n"
    "  answer <caption> <button-id>           press a button of a message box\n"
    "  shot <caption>|desktop <file.png>      save a screenshot\n"
    "  wait-exit <pid> [timeout-ms]           wait for a program's end, print its exit code\n";

void Write(DWORD which, const std::string& utf8) {
  HANDLE handle = GetStdHandle(which);
  DWORD mode = 0, written = 0;
  if (GetConsoleMode(handle, &mode)) {
    std::wstring wide = Widen(utf8);
    WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
  } else {
    WriteFile(handle, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
  }
}

void Print(const std::string& line) { Write(STD_OUTPUT_HANDLE, line + "\n"); }

struct UsageError {};

class Args {
 public:
  explicit Args(std::vector<std::string> words) : m_words(std::move(words)) {}
  size_t Count() const { return m_words.size(); }
  const std::string& At(size_t i) const {
    if (i >= m_words.size()) throw UsageError();
    return m_words[i];
  }
  std::string Optional(size_t i, const std::string& fallback) const {
    return i < m_words.size() ? m_words[i] : fallback;
  }
  long Number(size_t i) const { return ToNumber(At(i)); }
  DWORD Timeout(size_t i, DWORD fallback) const {
    return i < m_words.size() ? static_cast<DWORD>(ToNumber(m_words[i])) : fallback;
  }

 private:
  static long ToNumber(const std::string& word) {
    char* end = nullptr;
    long value = strtol(word.c_str(), &end, 10);
    if (word.empty() || *end != '\0') throw UsageError();
    return value;
  }
  std::vector<std::string> m_words;
};

HWND Window(const Args& args) { return WaitTopWindow(0, args.At(1), kFindMs); }

StartOptions WorkdirOption(const Args& args) {
  StartOptions options;
  options.workdir = WindowsPath(args.Optional(2, ""));
  return options;
}

int Run(const Args& args) {
  const std::string& command = args.At(0);
  if (command == "start") {
    StartOptions options = WorkdirOption(args);
    options.shareOutput = false;  // our caller reads our output to its end
    Process process = Process::Start(WindowsPath(args.At(1)), options);
    Print(std::to_string(process.Id()));
  } else if (command == "run") {
    Process process = Process::Start(WindowsPath(args.At(1)), WorkdirOption(args));
    Print(std::to_string(process.WaitExit(args.Timeout(3, 600000))));
  } else if (command == "wait-window") {
    Print(std::to_string(WindowProcess(WaitTopWindow(0, args.At(1), args.Timeout(2, 10000)))));
  } else if (command == "dump") {
    for (const Control& control : ListControls(Window(args))) Print(DescribeControl(control));
  } else if (command == "read") {
    Print(DescribeControl(ReadControl(Window(args), static_cast<int>(args.Number(2)))));
  } else if (command == "click") {
    Click(Window(args), static_cast<int>(args.Number(2)));
  } else if (command == "set-text") {
    SetText(Window(args), static_cast<int>(args.Number(2)), args.At(3));
  } else if (command == "key") {
    const std::string& name = args.At(2);
    if (name != "enter" && name != "escape") throw UsageError();
    PressKey(Window(args), name == "enter" ? Key::Enter : Key::Escape,
             args.Count() > 3 ? static_cast<int>(args.Number(3)) : 0);
  } else if (command == "close") {
    Close(Window(args));
  } else if (command == "box") {
    MessageBoxInfo box = WaitMessageBox(0, args.At(1), args.Timeout(2, 10000));
    Print("text=" + box.text);
    for (const auto& button : box.buttons) Print("button=" + std::to_string(button.first) + " " + button.second);
  } else if (command == "answer") {
    HWND box = WaitTopWindow(0, args.At(1), kFindMs, "#32770");
    AnswerMessageBox(box, static_cast<int>(args.Number(2)));
  } else if (command == "shot") {
    HWND window = args.At(1) == "desktop" ? nullptr : Window(args);
    SaveScreenshot(window, WindowsPath(args.At(2)));
  } else if (command == "wait-exit") {
    Process process = Process::Attach(static_cast<DWORD>(args.Number(1)));
    Print(std::to_string(process.WaitExit(args.Timeout(2, 30000))));
  } else {
    throw UsageError();
  }
  return 0;
}

}  // namespace

int main() {
  std::vector<std::string> words = CommandLineWords();
  try {
    return Run(Args(words));
  } catch (const UsageError&) {
    Write(STD_ERROR_HANDLE, kUsage);
    return 2;
  } catch (const std::exception& error) {
    Write(STD_ERROR_HANDLE, std::string("uidriver: ") + error.what() + "\n");
    return 1;
  }
}
