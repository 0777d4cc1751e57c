// A fresh machine for one in-process test, under Wine: a folder of its own,
// no AutoCAD keys, the call table restored, and message boxes answered from a
// queue the test fills (a box nobody expected fails the test). Everything it
// made is removed again at the end. Below it, the registry and file helpers
// that the in-process and the end-to-end tests share.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "afx.h"
#include "ui_driver.h"

struct ShownBox {
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
  std::string m_root, m_appData;
};

// The releases whose flag is set, as years, 2007 first: "20102014".
std::string MarkedYears(const bool (&flags)[20]);
// The text of tests/cases/<file> in the program's code page.
std::string CaseFile(const std::string& file);
// UTF-8 text (u8 literals, case files) in the program's code page.
std::string Ansi(const std::string& utf8);

// Registry, by root and key path.
void ImportReg(const std::string& text);  // .reg text in the code page, through regedit
void ImportCase(const std::string& name);  // tests/cases/<name>.reg
void RemoveAutoCadKeys();                  // of HKLM (both views) and HKCU
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

// A helper process started as folder\exeName (acad.exe, say), optionally
// holding heldFile open without sharing; ended when the object goes.
class TestProcess {
 public:
  TestProcess(const std::string& folder, const std::string& exeName, const std::string& heldFile = "");
  ~TestProcess() { m_process.Terminate(); }

 private:
  uidriver::Process m_process;
};
