// uidriver.exe: the UI driver for scripts, one operation per call. Captions
// and texts are UTF-8 on the command line and in the output; exit code 0 on
// success, 1 on failure (message on stderr), 2 on a usage error.
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "driver_internal.h"

using namespace uidriver;

namespace {

constexpr DWORD kFindMs = 5000;     // how long a command looks for the window it names
constexpr DWORD kTimedMs = 600000;  // how long a timed start or click may take

const char kUsage[] =
    "usage: uidriver <command> ...\n"
    "  start <exe> [workdir]                  start a program, print its pid\n"
    "  wait-window <caption> [timeout-ms]     wait for a window, print the pid that owns it\n"
    "  dump <caption>                         one line per control\n"
    "  read <caption> <id>                    the line of one control\n"
    "  click <caption> <id>                   click a button or check box\n"
    "  box <caption> [timeout-ms]             wait for a message box, print its text and buttons\n"
    "  answer <caption> <button-id>           press a button of a message box\n"
    "  shot <caption>|desktop <file.bmp>      save a screenshot as a Windows bitmap\n"
    "  wait-exit <pid> [timeout-ms]           wait for a program's end, print its exit code\n"
    "  time <exe> <caption> [<id> <shown-id>] start a program in its folder, print the ms until its window\n"
    "                                         shows [and from a click on id until shown-id shows], close it\n";

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

struct Args {
  std::vector<std::string> words;
  const std::string& At(size_t i) const {
    if (i >= words.size()) throw UsageError();
    return words[i];
  }
  int Number(size_t i) const {
    char* end = nullptr;
    long value = strtol(At(i).c_str(), &end, 10);
    if (*end != '\0' || end == At(i).c_str()) throw UsageError();
    return static_cast<int>(value);
  }
  DWORD Timeout(size_t i, DWORD fallback) const { return i < words.size() ? Number(i) : fallback; }
};

HWND Window(const Args& args) { return WaitTopWindow(0, args.At(1), kFindMs); }

std::string MsSince(std::chrono::steady_clock::time_point start) {
  char ms[32];
  snprintf(ms, sizeof ms, "%.1f",
           std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  return ms;
}

// time: the start-up and, optionally, a click's work, seen from outside the
// program.
std::string Time(const Args& args) {
  StartOptions options;
  std::string exe = WindowsPath(args.At(1));
  options.workdir = exe.substr(0, exe.find_last_of('\\'));
  options.detached = true;  // our caller reads our output to its end
  auto start = std::chrono::steady_clock::now();
  Process process = Process::Start(exe, options);
  // Blocks without polling until the program first waits for input, as its
  // modal dialog does once shown: polling all along would compete with the
  // program's start for the wineserver.
  WaitForInputIdle(process.Handle(), kTimedMs);
  HWND window = WaitTopWindow(process.Id(), args.At(2), kTimedMs);
  std::string times = MsSince(start);
  if (args.words.size() > 3) {
    HWND shown = ControlOf(window, args.Number(4));
    start = std::chrono::steady_clock::now();
    Click(window, args.Number(3), kTimedMs);
    if (!PollUntil(kTimedMs, [&] { return IsWindowVisible(shown) != FALSE; }))
      throw Failure(Name(shown) + " is still hidden " + std::to_string(kTimedMs) + " ms after the click");
    times += " " + MsSince(start);
  }
  Close(window);
  process.WaitExit(30000);
  return times;
}

void Run(const Args& args) {
  const std::string& command = args.At(0);
  if (command == "start") {
    StartOptions options;
    options.workdir = WindowsPath(args.words.size() > 2 ? args.At(2) : "");
    options.detached = true;
    Print(std::to_string(Process::Start(WindowsPath(args.At(1)), options).Id()));
  } else if (command == "wait-window") {
    DWORD pid = 0;
    GetWindowThreadProcessId(WaitTopWindow(0, args.At(1), args.Timeout(2, 10000)), &pid);
    Print(std::to_string(pid));
  } else if (command == "dump") {
    for (const Control& control : ListControls(Window(args))) Print(DescribeControl(control));
  } else if (command == "read") {
    Print(DescribeControl(ReadControl(Window(args), args.Number(2))));
  } else if (command == "click") {
    Click(Window(args), args.Number(2));
  } else if (command == "box") {
    MessageBoxInfo box = WaitMessageBox(0, args.At(1), args.Timeout(2, 10000));
    Print("text=" + box.text);
    for (const auto& button : box.buttons) Print("button=" + std::to_string(button.first) + " " + button.second);
  } else if (command == "answer") {
    AnswerMessageBox(WaitTopWindow(0, args.At(1), kFindMs, "#32770"), args.Number(2));
  } else if (command == "shot") {
    SaveScreenshot(args.At(1) == "desktop" ? nullptr : Window(args), WindowsPath(args.At(2)));
  } else if (command == "wait-exit") {
    Print(std::to_string(Process::Attach(args.Number(1)).WaitExit(args.Timeout(2, 30000))));
  } else if (command == "time") {
    Print(Time(args));
  } else {
    throw UsageError();
  }
}

}  // namespace

int main() {
  try {
    Run(Args{CommandLineWords()});
    return 0;
  } catch (const UsageError&) {
    Write(STD_ERROR_HANDLE, kUsage);
    return 2;
  } catch (const std::exception& error) {
    Write(STD_ERROR_HANDLE, std::string("uidriver: ") + error.what() + "\n");
    return 1;
  }
}
