// Starting and ending the helper process of the Wine tests.
#include "test_processes.h"

#include <stdexcept>

TestProcess::TestProcess(const std::string& folder, const std::string& exeName, const std::string& heldFile) {
  m_exePath = folder + "\\" + exeName;
  if (!CopyFileA(SETUP_TEST_PROCESS_EXE, m_exePath.c_str(), FALSE))
    throw std::runtime_error("cannot copy the helper program to " + m_exePath);
  HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, "SetupTestProcessReady");
  ResetEvent(ready);
  std::string commandLine = "\"" + m_exePath + "\"";
  if (!heldFile.empty()) commandLine += " --hold \"" + heldFile + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  if (!CreateProcessA(m_exePath.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                      &startup, &m_process)) {
    CloseHandle(ready);
    throw std::runtime_error("cannot start " + m_exePath);
  }
  HANDLE waits[2] = {ready, m_process.hProcess};
  DWORD which = WaitForMultipleObjects(2, waits, FALSE, 20000);
  CloseHandle(ready);
  if (which != WAIT_OBJECT_0) throw std::runtime_error("the helper process did not start: " + m_exePath);
}

TestProcess::~TestProcess() {
  TerminateProcess(m_process.hProcess, 0);
  WaitForSingleObject(m_process.hProcess, 20000);
  CloseHandle(m_process.hThread);
  CloseHandle(m_process.hProcess);
  DeleteFileA(m_exePath.c_str());
}
