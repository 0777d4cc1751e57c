// A fresh machine for one in-process test, under Wine: a folder of its own,
// no AutoCAD keys, the call table restored, and message boxes answered from a
// queue the test fills (a box nobody expected fails the test). Everything it
// made is removed again at the end.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "afx.h"

struct ShownBox {
  HWND owner;
  std::string text, caption;
  UINT style;
};

class Machine {
 public:
  Machine();
  ~Machine();
  Machine(const Machine&) = delete;
  Machine& operator=(const Machine&) = delete;

  // The test's folder, and a path below it.
  const std::string& Root() const { return m_root; }
  std::string Path(const std::string& relative) const { return m_root + "\\" + relative; }

  // The answers the next message boxes get, in turn; every box shown.
  std::deque<int> answers;
  std::vector<ShownBox> boxes;
  // Makes GetModuleFileNameA(NULL) report this path, cut as Windows cuts it.
  void SetProgramPath(const std::string& path);
  // Puts the call table back as the machine set it up.
  void RestoreCalls();

 private:
  std::string m_root;
  std::string m_appData, m_currentDirectory;
  bool m_hadAppData = false;
};

// Registry, by root and key path.
void ImportReg(const std::string& utf8Text);  // .reg text, through regedit
void ImportCase(const std::string& name);     // tests/cases/<name>.reg
std::optional<std::string> RegReadString(HKEY root, const std::string& key, const std::string& name);
// Every key and value below key, one per line: "key" for a key, "key: name =
// sz:text" or "= dword:n" or "= hex(type):bytes" for a value.
std::string RegDump(HKEY root, const std::string& key);
// Counts registry handles from now on, passing the calls on to the entries
// the table has now; OpenRegistryHandles is opened minus closed since then.
void CountRegistryHandles();
int OpenRegistryHandles();

// Files, by Windows path.
void WriteFile(const std::string& path, const std::string& content = "x");
std::optional<std::string> ReadFile(const std::string& path);
void MakeFolders(const std::string& path);
void RemoveTree(const std::string& path);
bool Exists(const std::string& path);
// The names in a folder, sorted, without "." and "..".
std::vector<std::string> Names(const std::string& folder);
// UTF-8 text (u8 literals, case files) in the program's code page.
std::string Ansi(const std::string& utf8);

// A helper process started as folder\exeName (acad.exe, say), optionally
// holding heldFile open without sharing; ended when the object goes.
class TestProcess {
 public:
  TestProcess(const std::string& folder, const std::string& exeName, const std::string& heldFile = "");
  ~TestProcess();
  TestProcess(const TestProcess&) = delete;
  TestProcess& operator=(const TestProcess&) = delete;

 private:
  PROCESS_INFORMATION m_process{};
  std::string m_exePath;
};
