// Real processes for the Wine tests: a helper program started under a name
// of the test's choosing (acad.exe), optionally holding a file open without
// sharing. The process is ended when the object goes.
#pragma once

#include <string>

#include "afx.h"

class TestProcess {
 public:
  // Copies the helper program to folder\exeName and starts it; with a
  // non-empty heldFile it opens that file without sharing before it is
  // reported as started.
  TestProcess(const std::string& folder, const std::string& exeName, const std::string& heldFile = "");
  ~TestProcess();
  TestProcess(const TestProcess&) = delete;
  TestProcess& operator=(const TestProcess&) = delete;

 private:
  PROCESS_INFORMATION m_process{};
  std::string m_exePath;
};
