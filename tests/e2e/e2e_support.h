// What every end-to-end test needs: the programs of this build, a folder of
// the test's own holding SetUp.exe and its payload folder Data, .reg fixtures
// imported by regedit, the AutoCAD keys removed before and after, screenshots
// of each stage, and no program left running when a test ends.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "ui_driver.h"

namespace e2e {

// Texts here are UTF-8: write them as u8"..." literals, since plain literals
// are code page 936 in this build.
extern const char kSetupCaption[];  // the setup dialog

constexpr DWORD kWindowTimeoutMs = 20000;  // a program's first window under Wine
constexpr DWORD kExitTimeoutMs = 20000;    // a program's end once its dialog has closed

// SetUp.exe of this build by its Windows path; empty when the build has none.
std::string SetupExe();

// The registry view a fixture is imported into. Bits32: what a 32-bit
// program such as SetUp.exe reads (in a 64-bit prefix HKLM\SOFTWARE is then
// Wow6432Node); `regedit /s`, which Wine runs as 32-bit for us. Bits64: the
// 64-bit view of a 64-bit prefix, through sysnative\reg.exe import, since
// regedit has no 64-bit path from a 32-bit program; Failure in a 32-bit one.
// Name keys HKLM\SOFTWARE\..., not ...\Wow6432Node\...: Wine 8 files a new
// key created through Wow6432Node under Wow6432Node\Wow6432Node, where no
// program looks.
enum class RegistryView { Bits32, Bits64 };

// Imports a .reg text ("Windows Registry Editor Version 5.00", UTF-8) from a
// UTF-16 copy, so that Chinese names survive; a fixture is a file below
// tests/fixtures.
void ImportRegText(const std::string& utf8Text, RegistryView view = RegistryView::Bits32);
void ImportRegFixture(const std::string& name, RegistryView view = RegistryView::Bits32);
// HKLM\SOFTWARE\Autodesk, HKLM\SOFTWARE\Wow6432Node\Autodesk and
// HKCU\SOFTWARE\Autodesk, in both registry views.
void RemoveAutoCadKeys();

// "<Suite>.<Test>" of the running test, usable as a file name.
std::string TestId();

// A test that drives one program. The program is ended at teardown if it
// still runs (after a screenshot of the desktop if the test failed).
class DrivenTest : public ::testing::Test {
 protected:
  void TearDown() override;

  // Starts the program and waits for its visible top window with this caption.
  HWND Launch(const std::string& exe, const std::string& caption, const std::string& workdir = "");
  uidriver::Process& Program() { return m_program; }
  HWND Window() const { return m_window; }
  DWORD WaitExit(DWORD timeoutMs = kExitTimeoutMs) { return m_program.WaitExit(timeoutMs); }

  // When SETUP_SCREENSHOT_DIR is set, saves a screenshot of the window
  // (nullptr: the desktop) as <dir>/<Suite>.<Test>.<stage>.png and returns
  // its path; otherwise returns "". Shot(stage) takes the program's window
  // while it is open, else the desktop.
  std::string Shot(const std::string& stage, HWND window);
  std::string Shot(const std::string& stage);

 private:
  uidriver::Process m_program;
  HWND m_window = nullptr;
};

// A test of SetUp.exe run from C:\e2e\<Suite>.<Test>, with the payload folder
// Data beside it and no AutoCAD keys in the registry. Skipped when the build
// has no SetUp.exe. The folder is left behind for a failed test.
class SetupTest : public DrivenTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  const std::string& Folder() const { return m_folder; }
  std::string DataPath(const std::string& relative) const { return m_folder + "\\Data\\" + relative; }
  // A payload file, with its folders; relative is UTF-8.
  void WriteDataFile(const std::string& relative, const std::string& content);
  // Starts SetUp.exe in its folder, waits for the dialog, takes the shot "start".
  HWND StartSetup();

 private:
  std::string m_folder;
};

}  // namespace e2e
