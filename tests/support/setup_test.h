// An end-to-end test: SetUp.exe in the machine's folder beside its payload
// folder Data and a planted comctl32.dll that must never be loaded, driven
// from outside. A failed test leaves a screenshot <Suite>.<Test>.png in
// SETUP_SCREENSHOT_DIR; no program is left running.
#pragma once

#include "machine.h"

using uidriver::ReadControl;
// The UI driver's texts are UTF-8 (u8"..."); plain literals are code page 936.
inline constexpr char kDialogCaption[] = u8"T-批打印软件安装";  // the setup dialog
inline constexpr char kBoxCaption[] = u8"T-软件安装";         // the program's message boxes
constexpr DWORD kTimeoutMs = 20000;
constexpr int kTargetPath = 1000, kProgress = 1014, kBrowse = 1015, kInstall = 1022;  // the dialog's
// The release check boxes, 2007 first (2010 and 2011 swap their ids).
inline constexpr int kReleaseBoxes[20] = {1018, 1019, 1020, 1027, 1026, 1028, 1029, 1030, 1031, 1032, 1033, 1034, 1035, 1036, 1037, 1038, 1039, 1040, 1041, 1042};
inline int Box(int year) { return kReleaseBoxes[year - 2007]; }

// SetUp.exe of the 64-bit edition, as the test script names it.
std::string SetupExe64();

class SetupTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts SetUp.exe from folder\SetUp.exe (the machine's folder, with its
  // payload there) and waits for the dialog.
  HWND StartSetup(const std::string& folder = "");
  HWND Window() const { return m_window; }
  std::string Boxes() {  // each release's box as visible, enabled, checked ("vex"), 2007 first
    std::string states;
    for (int year = 2007; year <= 2026; ++year) {
      uidriver::Control box = ReadControl(Window(), Box(year));
      states += std::string(box.visible ? "v" : "-") + (box.enabled ? "e" : "-") + (box.checked == 1 ? "x " : "- ");
    }
    return states;
  }
  DWORD Pid() const { return m_program.Id(); }
  DWORD WaitExit() { return m_program.WaitExit(kTimeoutMs); }
  // Once this SetUp.exe has ended, the dialog of the one it started again
  // (elevated), which the test then drives.
  HWND WaitRestarted();
  // The next message box of the program with the caption, and answering one.
  uidriver::MessageBoxInfo WaitBox(const std::string& caption = kBoxCaption) {
    return uidriver::WaitMessageBox(Pid(), caption, kTimeoutMs);
  }
  void Answer(const uidriver::MessageBoxInfo& box, int button) {
    uidriver::AnswerMessageBox(box.hwnd, button);
    uidriver::WaitWindowGone(box.hwnd, kTimeoutMs);
  }

  Machine machine;

 private:
  uidriver::Process m_program;
  HWND m_window = nullptr;
};
