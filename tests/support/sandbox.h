// A fresh machine for one test, in either world: the AutoCAD registry roots
// emptied, a folder of its own for files, no program path, and message boxes
// that fail the test unless the test installs an answerer. Everything it
// made is removed again at the end.
#pragma once

#include <optional>
#include <string>

#include "afx.h"
#include "seams.h"

class Sandbox {
 public:
  Sandbox();
  ~Sandbox();
  Sandbox(const Sandbox&) = delete;
  Sandbox& operator=(const Sandbox&) = delete;

  // The test's folder, without a trailing backslash.
  const std::string& Root() const { return m_root; }
  // Root + "\" + relative.
  std::string Path(const std::string& relative) const { return m_root + "\\" + relative; }

 private:
  std::string m_root;
  std::string m_saved[3];  // what the backend restores at the end
};

// Answers a message box nobody expected: records a test failure and picks the
// answer that ends what the box asks for (Abort, No, Cancel or OK).
int UnexpectedMessageBox(const MessageBoxCall& call);

// Files, by Windows path.
void WriteTestFile(const std::string& path, const std::string& content);
std::optional<std::string> ReadTestFile(const std::string& path);
void MakeFolders(const std::string& path);  // every missing level
void RemoveTree(const std::string& path);   // read-only files included
bool PathExists(const std::string& path);

// A progress control as the setup dialog has one: a real common control on
// Windows, the emulated one on the host.
HWND CreateTestProgressBar();
void DestroyTestProgressBar(HWND bar);

// UTF-8 text (of the fixture files) in the program's code page. The tests'
// own literals are compiled into that code page already.
std::string Utf8ToAnsi(const std::string& utf8);
// The full path of a file in tests/fixtures, as the test program can open it.
std::string FixturePath(const std::string& name);
