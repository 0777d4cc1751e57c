// Timed runs from outside the measured process: a start, an Install click,
// and the end of the program.
#include "clock.h"
#include "timed_runs.h"

#include "resource.h"

namespace bench {
namespace {

constexpr DWORD kExitTimeoutMs = 30000;

std::string FolderOf(const std::string& exe) {
  size_t slash = exe.find_last_of('\\');
  return slash == std::string::npos ? std::string() : exe.substr(0, slash);
}

struct OtherWindowSearch {
  DWORD pid;
  HWND dialog;
  HWND found;
};

BOOL CALLBACK VisitWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<OtherWindowSearch*>(data);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != search->pid || window == search->dialog || !IsWindowVisible(window)) return TRUE;
  search->found = window;
  return FALSE;
}

// A visible top-level window of the program other than its dialog.
HWND OtherWindow(const Started& started) {
  OtherWindowSearch search = {started.process.Id(), started.window, nullptr};
  EnumWindows(VisitWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

Started StartUntilVisible(const Program& program, const std::string& caption, DWORD timeoutMs) {
  uidriver::StartOptions options;
  options.workdir = FolderOf(program.exe);
  options.args = program.args;
  options.shareOutput = false;  // our output goes to the script, not to the program

  Started started;
  double start = NowMs();
  started.process = uidriver::Process::Start(program.exe, options);
  started.createMs = NowMs() - start;
  // Blocks, without polling, until the program first waits for messages:
  // in its modal loop, which shows the dialog right away. A timer that
  // polled all along would compete with the program's registry scan for the
  // wineserver and slow it down.
  WaitForInputIdle(started.process.Handle(), timeoutMs);
  started.idleMs = NowMs() - start;
  for (;;) {
    started.window = uidriver::FindTopWindow(started.process.Id(), caption);
    if (started.window != nullptr) break;
    if (!started.process.Running())
      throw uidriver::Failure(program.label + " ended before showing \"" + caption + "\"");
    if (NowMs() - start > timeoutMs) {
      started.process.Terminate();
      throw uidriver::Failure(program.label + " showed no \"" + caption + "\" within " + std::to_string(timeoutMs) +
                              " ms");
    }
    Sleep(1);
  }
  started.visibleMs = NowMs() - start;
  return started;
}

void Settle(const Started& started, DWORD settleMs) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(started.window, WM_NULL, 0, 0, SMTO_NORMAL, kExitTimeoutMs, &ignored);
  Sleep(settleMs);
}

double InstallUntilFinished(const Started& started, DWORD timeoutMs) {
  uidriver::Control install = uidriver::ReadControl(started.window, IDC_INSTALL);
  if (!install.visible || !install.enabled)
    throw uidriver::Failure("Install cannot be clicked (is any release found and chosen?)");
  HWND finished = uidriver::ReadControl(started.window, IDOK).hwnd;

  double start = NowMs();
  // Queued like a user's click; the handler runs the whole install.
  SendNotifyMessageW(install.hwnd, BM_CLICK, 0, 0);
  // Answered once the handler has returned (or has opened a modal loop), so
  // that the polling below does not compete with the install for the CPU.
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(started.window, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &ignored);
  for (;;) {
    if (IsWindowVisible(finished)) break;
    if (HWND other = OtherWindow(started)) {
      uidriver::MessageBoxInfo box = uidriver::ReadMessageBox(other);
      throw uidriver::Failure("the install opened \"" + box.caption + "\": " + box.text);
    }
    if (NowMs() - start > timeoutMs)
      throw uidriver::Failure("no finished button within " + std::to_string(timeoutMs) + " ms of the click");
    Sleep(1);
  }
  return NowMs() - start;
}

double CloseThrough(Started& started, int buttonId) {
  double start = NowMs();
  uidriver::Click(started.window, buttonId);
  try {
    started.process.WaitExit(kExitTimeoutMs);
  } catch (const uidriver::Failure&) {
    started.process.Terminate();
  }
  return NowMs() - start;
}

}  // namespace bench
