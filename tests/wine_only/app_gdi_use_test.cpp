// The setup dialog's GDI use stays flat however often it is painted: its two
// header fonts are made once, not at every colour request.
#include <gtest/gtest.h>

#include <algorithm>

#include "sandbox.h"
#include "setup_dialog.h"

namespace {

// The number of GDI objects of this process. Wine's GetGuiResources
// answers 0; there the high-water mark of the GDI handle table stands in:
// a burst of fresh objects takes the freed slots first and then new ones,
// so the highest table index among them grows only while objects leak.
DWORD GdiObjectGauge() {
  DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  if (count != 0) return count;
  HPEN probes[256];
  DWORD highest = 0;
  for (HPEN& probe : probes) {
    probe = CreatePen(PS_SOLID, 1, 0);
    highest = std::max(highest, static_cast<DWORD>(reinterpret_cast<UINT_PTR>(probe) & 0xFFFF));
  }
  for (HPEN probe : probes) DeleteObject(probe);
  return highest;
}

struct Gauges {
  bool visible = false;
  DWORD afterFirstPaint = 0;
  DWORD afterThousandPaints = 0;
};

// Paints the open dialog, all its controls included, a thousand times
// from a timer of its modal loop, then closes it.
class RepaintedDialog : public Dlg_Setup {
 public:
  explicit RepaintedDialog(Gauges* gauges) { s_gauges = gauges; }

 protected:
  BOOL OnInitDialog() override {
    BOOL result = Dlg_Setup::OnInitDialog();
    SetTimer(m_hWnd, 1, 10, &Repaint);
    return result;
  }

 private:
  static void CALLBACK Repaint(HWND dialog, UINT, UINT_PTR timer, DWORD) {
    KillTimer(dialog, timer);
    // The modal loop shows the dialog when it first runs idle; a timer may
    // come first, and a hidden window is never painted.
    ::ShowWindow(dialog, SW_SHOWNORMAL);
    s_gauges->visible = ::IsWindowVisible(dialog) != FALSE;
    const UINT paintAll = RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW;
    RedrawWindow(dialog, nullptr, nullptr, paintAll);
    s_gauges->afterFirstPaint = GdiObjectGauge();
    for (int i = 0; i < 1000; ++i) RedrawWindow(dialog, nullptr, nullptr, paintAll);
    s_gauges->afterThousandPaints = GdiObjectGauge();
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  }
  static Gauges* s_gauges;
};

Gauges* RepaintedDialog::s_gauges = nullptr;

TEST(SetupDialogPainting, GdiObjectsStayFlatOverAThousandRepaints) {
  Sandbox sandbox;
  Gauges gauges;
  RepaintedDialog dialog(&gauges);
  EXPECT_EQ(IDCANCEL, dialog.DoModal());
  ASSERT_TRUE(gauges.visible) << "the dialog was not shown, so not painted";
  EXPECT_LE(gauges.afterThousandPaints, gauges.afterFirstPaint + 8)
      << "GDI objects grew from " << gauges.afterFirstPaint << " to " << gauges.afterThousandPaints;
}

}  // namespace
