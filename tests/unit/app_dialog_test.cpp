// The setup dialog in-process: it keeps its caption on a screen lower than
// itself, and its GDI use stays flat however often it is painted; the command
// line of its elevated rerun.
#include <algorithm>

#include "machine.h"
#include "restart_command.h"
#include "setup_dialog.h"

namespace {

// Wine's GetGuiResources answers 0. The GDI handle table's high-water mark
// stands in: fresh objects take freed slots first, so it grows only by leaks.
DWORD GdiObjectGauge() {
  HPEN probes[256];
  DWORD highest = 0;
  for (HPEN& probe : probes) {
    probe = CreatePen(PS_SOLID, 1, 0);
    highest = std::max(highest, static_cast<DWORD>(reinterpret_cast<UINT_PTR>(probe) & 0xFFFF));
  }
  for (HPEN probe : probes) DeleteObject(probe);
  return highest;
}

// Makes the dialog taller than the screen (Wine's monitor work area ignores
// SPI_SETWORKAREA, so the screen cannot get lower), looks where it was placed,
// paints it 200 times from a timer of its modal loop, then closes it.
class RepaintedDialog : public Dlg_Setup {
 protected:
  BOOL OnInitDialog() override {
    BOOL result = Dlg_Setup::OnInitDialog();
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 700, 2000, SWP_NOMOVE | SWP_NOZORDER);
    SetTimer(m_hWnd, 1, 10, &Probe);
    return result;
  }

 private:
  static void CALLBACK Probe(HWND dialog, UINT, UINT_PTR timer, DWORD) {
    KillTimer(dialog, timer);
    if (timer == 2) return (void)::EndDialog(dialog, IDABORT);
    RECT placed, work;
    ::GetWindowRect(dialog, &placed);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(work.top, placed.top) << "the caption stays on a screen lower than the dialog";
    EXPECT_EQ((work.left + work.right - 700) / 2, placed.left) << "centred across";
    ::ShowWindow(dialog, SW_SHOWNORMAL);  // a hidden window is never painted
    EXPECT_TRUE(::IsWindowVisible(dialog));
    const UINT paintAll = RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW;
    RedrawWindow(dialog, nullptr, nullptr, paintAll);
    const DWORD afterFirstPaint = GdiObjectGauge();
    for (int i = 0; i < 200; ++i) RedrawWindow(dialog, nullptr, nullptr, paintAll);
    EXPECT_LE(GdiObjectGauge(), afterFirstPaint + 8) << "GDI objects grow with every paint";
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    SetTimer(dialog, 2, 5000, &Probe);  // once more, should Cancel not end it
  }
};

TEST(SetupDialog, KeepsItsCaptionOnALowScreenAndItsGdiUseFlatOverManyRepaints) {
  Machine machine;
  RepaintedDialog dialog;
  EXPECT_EQ(IDCANCEL, dialog.DoModal());
}

// The form the setup writes for its elevated rerun comes back whole; any
// other command line (the program has none for users) is ignored.
TEST(RestartCommandLine, OnlyTheProgramsOwnFormIsRead) {
  bool ticked[20] = {};
  ticked[3] = ticked[7] = true;
  const std::string own = FormatRestartParameters(ticked, "C:\\My CAD").str(), digits = own.substr(10, 20);
  const struct { std::string line, folder; } rows[] = {
      {"\"C:\\pkg\\SetUp.exe\" " + own, "C:\\My CAD"},
      {"SetUp.exe  " + own + "  ", "C:\\My CAD"},
      {"SetUp.exe " + FormatRestartParameters(ticked, "D:").str(), "D:\\"},  // a drive's root
      {"SetUp.exe /continue:" + digits.substr(1) + " \"C:\\x\"", ""},  // a release short
      {"SetUp.exe /continue:" + digits + " \"C:\\x\" /more", ""},
      {"SetUp.exe /continue:" + digits + " \"C:\\x\\\"", ""},  // a backslash before the quote
      {"SetUp.exe /continue:" + digits + " \"C:\\" + std::string(257, 'x') + "\"", ""},  // 260 characters
  };
  for (const auto& row : rows) {
    bool read[20] = {};
    CString folder;
    const bool taken = ParseRestartCommandLine(row.line.c_str(), read, folder);
    EXPECT_EQ(row.folder, taken ? folder.str() : "") << row.line;
    EXPECT_EQ(taken ? "1" : "0", std::to_string(read[3] && read[7] && !read[4])) << row.line;
  }
}

}  // namespace
