// One timed run of a program driven through its window: from CreateProcess
// to its dialog being visible, and from the Install click to the finished
// button (control 1) being visible. Times come from QueryPerformanceCounter.
#pragma once

#include "clock.h"

#include <string>
#include <vector>

#include "ui_driver.h"

namespace bench {

// A program to time: its label in the results, its Windows path and its
// command-line words. It runs in its own folder.
struct Program {
  std::string label;
  std::string exe;
  std::vector<std::string> args;
};


struct Started {
  uidriver::Process process;
  HWND window = nullptr;
  double createMs = 0;   // CreateProcess alone
  double idleMs = 0;     // CreateProcess to the program's first wait for input
  double visibleMs = 0;  // CreateProcess to the dialog visible
};

// Starts the program, waits until it first waits for input, then polls
// every millisecond for its visible top window with this caption.
Started StartUntilVisible(const Program& program, const std::string& caption, DWORD timeoutMs);

// Waits until the dialog has handled what it was sent so far (its start-up
// paint included) and lets the machine settle for settleMs.
void Settle(const Started& started, DWORD settleMs);

// Clicks Install and returns the milliseconds until control 1 is visible.
// Failure if Install cannot be clicked, or if the program opens another
// window (a message box) instead of finishing.
double InstallUntilFinished(const Started& started, DWORD timeoutMs);

// Ends the program through one of its buttons and waits for its end; a
// program that does not end in time is terminated. Returns the milliseconds
// from the click to the end of the process.
double CloseThrough(Started& started, int buttonId);

}  // namespace bench
