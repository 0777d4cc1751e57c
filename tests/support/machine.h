// A fresh machine for one test: a folder of its own (its APPDATA too), no
// AutoCAD keys, the real calls, and message boxes answered from a queue the
// test fills. At its end, the registry outside AutoCAD's keys must be as at
// its start: every test that runs the program is compared from its own
// start. Below it, the helpers all tests share.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "afx.h"
#include "ui_driver.h"

struct ShownBox { std::string text, caption; UINT style; };

class Machine {
 public:
  Machine();
  ~Machine();

  const std::string& Root() const { return m_root; }  // the test's folder
  std::string Path(const std::string& relative) const { return m_root + "\\" + relative; }
  // The answers the next message boxes get, in turn; every box shown.
  std::deque<int> answers;
  std::vector<ShownBox> boxes;
  // Makes GetModuleFileNameA(NULL) report this path, cut as Windows cuts it.
  void SetProgramPath(const std::string& path);

 private:
  std::string m_root, m_outside;  // the test's folder; the registry as the test found it
};

// Calls call with the inventory's 20 release flags, 2007 first, 1 for each
// year given; and the releases an install left incomplete, with why, as
// "2008 rights, 2010 in use, 2014 error 112, ".
template <class Call>
void ForReleases(const std::vector<int>& years, Call call) {
  int f[20] = {};
  for (int year : years) f[year - 2007] = 1;
  call(f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8], f[9], f[10], f[11], f[12], f[13], f[14], f[15], f[16], f[17], f[18], f[19]);
}
template <class Incomplete>
std::string IncompleteYears(const Incomplete (&releases)[20]) {
  std::string years;
  for (int k = 0; k < 20; ++k)
    years += (releases[k].missingRights ? std::to_string(2007 + k) + " rights, " : "") +
             (releases[k].inUse ? std::to_string(2007 + k) + " in use, " : "") +
             (releases[k].otherError ? std::to_string(2007 + k) + " error " + std::to_string(releases[k].otherError) + ", " : "");
  return years;
}
// What a scan of the inventory found, a "year key>folder" line per product.
template <class Inventory>
std::string Found(const Inventory& inventory) {
  std::string text;
  for (int k = 0; k < 20; ++k)
    for (int i = 0; i < inventory.m_aProductKeys[k].GetSize(); ++i)
      text += std::to_string(2007 + k) + " " + inventory.m_aProductKeys[k][i].str() + ">" + inventory.m_aInstallFolders[k][i].str() + "\n";
  return text;
}
// The text of tests/cases/<file> (UTF-8), and UTF-8 text in the program's code page.
std::string CaseFile(const std::string& file);
std::string Ansi(const std::string& utf8);

// Registry, by root and key path as stored (HKLM\SOFTWARE\Wow6432Node: the
// 32-bit view), in UTF-8 whatever the code page lacks.
void ImportReg(const std::string& utf8);   // .reg text, into the native view
void ImportCase(const std::string& name);  // tests/cases/<name>.reg
void RemoveAutoCadKeys();                  // of HKLM (both views) and HKCU
std::optional<std::string> RegReadString(HKEY root, const std::string& key, const std::string& name);  // code page
// Every key and value below key, one per line: "HKLM\key" for a key,
// "HKLM\key: name = sz:text" or "= expand:text" or "= dword:n" or
// "= hex(type):bytes" for a value.
std::string RegDump(HKEY root, const std::string& key);
// The AutoCAD keys of both views and of the user, as RegDump shows them.
std::string AcadRegistry();
// HKLM\SOFTWARE and HKCU\SOFTWARE but AutoCAD's keys (and Wine's own), a
// line per key and value.
std::string MachineOutsideAutoCad();

// Files, by Windows path; Names lists a folder, sorted, without "." and "..".
void WriteFile(const std::string& path, const std::string& content = "x");
std::optional<std::string> ReadFile(const std::string& path);
void MakeFolders(const std::string& path);
void RemoveTree(const std::string& path);
bool Exists(const std::string& path);
std::vector<std::string> Names(const std::string& folder);
// Every file and folder below folder, by path: "<folder>", or a file's
// content, or without contents its size and time of last writing.
std::map<std::string, std::string> Tree(const std::string& folder, bool contents = true);

// A module built for the edition of bits (32: i386, 64: AMD64) by the test build.
inline std::string EditionModule(int bits) { return SETUP_MODULES_DIR "\\module" + std::to_string(bits) + ".dll"; }

// The golden case's AutoCAD folders below C:\e2e-acad, each with a file of
// AutoCAD's own, and its payload copied into data (its sub-folder made empty).
void MakeGoldenFolders(const std::string& data);

// A program that idles until it is ended, started as folder\exeName
// (acad.exe, say): SetUp.exe itself, waiting for its user.
class TestProcess {
 public:
  TestProcess(const std::string& folder, const std::string& exeName);
  ~TestProcess() { m_process.Terminate(); }

 private:
  uidriver::Process m_process;
};
