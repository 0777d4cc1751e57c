// What a test can set and read in the host emulation: the machine's drives,
// processes, faults and counters. Only the host backend has it; tests that
// need it live in tests/host_only.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "win_api.h"

namespace host {

// An empty machine: no registry keys, no drives, no processes, no
// environment, no faults, no hooks, no message-box answerer, no windows.
void Reset();

// Drive letter -> a folder of the Linux machine that holds that drive.
void MapDrive(char letter, const std::string& hostFolder);
// The Linux path for a Windows path (case-insensitive lookup of each
// existing component); empty when the drive is not mapped.
std::string HostPathOf(const char* windowsPath);

// The running processes' executable names, in snapshot order.
void SetProcesses(const std::vector<std::string>& exeNames);

// Makes calls of an operation fail: after `skip` successful calls, the next
// `count` calls fail with `error` (and set it as the last error).
void FailCalls(const std::string& operation, LONG error, int skip = 0, int count = 1);
// Runs `hook` at the start of every call of an operation (before it acts).
void SetCallHook(const std::string& operation, std::function<void()> hook);

// Counters for tests that prove what did not happen.
int FileSystemCallCount();
int OpenRegistryHandleCount();
int OpenSearchHandleCount();

// A progress control as the common controls keep it: range, step and a
// position that PBM_STEPIT wraps and PBM_SETPOS clamps.
HWND CreateProgressControl();
// Every message sent to any emulated window, in order.
struct SentMessage {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};
const std::vector<SentMessage>& SentMessages();

}  // namespace host
