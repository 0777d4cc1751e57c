// What every end-to-end test needs: SetUp.exe of this build copied into a
// folder of the test's own beside its payload folder Data, no AutoCAD keys in
// the registry, screenshots of each stage, and no program left running.
#pragma once

#include <string>

#include "machine.h"
#include "ui_driver.h"

namespace e2e {

// Texts of the UI driver are UTF-8: write them as u8"..." literals, since
// plain literals are code page 936 in this build.
extern const char kSetupCaption[];  // the setup dialog
extern const char kBoxCaption[];    // the program's message boxes
constexpr DWORD kTimeoutMs = 20000;

// SetUp.exe of this build (the 64-bit edition's with edition64), by its
// Windows path; empty when the run has none.
std::string SetupExe(bool edition64 = false);

// A test of SetUp.exe run from C:\e2e\<Suite>.<Test>, with Data beside it.
// The folder is left behind for a failed test, with a desktop screenshot.
class SetupTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  const std::string& Folder() const { return m_folder; }
  // A payload file; relative is UTF-8.
  void WriteData(const std::string& relative, const std::string& content);
  // Starts SetUp.exe in its folder, waits for the dialog, takes the shot "start".
  HWND StartSetup();
  HWND Window() const { return m_window; }
  uidriver::Process& Program() { return m_program; }
  DWORD WaitExit() { return m_program.WaitExit(kTimeoutMs); }
  // The next message box of the program with the caption, and answering one.
  uidriver::MessageBoxInfo WaitBox(const std::string& caption = kBoxCaption);
  void Answer(const uidriver::MessageBoxInfo& box, int button);
  // With SETUP_SCREENSHOT_DIR set, saves <dir>/<Suite>.<Test>.<stage>.png of
  // the window (nullptr: the desktop).
  void Shot(const std::string& stage, HWND window);
  void Shot(const std::string& stage) { Shot(stage, m_window); }

 private:
  uidriver::Process m_program;
  HWND m_window = nullptr;
  std::string m_folder;
};

// HKLM's and HKCU's AutoCAD keys, in both registry views.
void RemoveAutoCadKeys();

}  // namespace e2e
