// The Browse button end to end: SetUp.exe under Wine opens the shell's
// folder browser with its path box, and the typed folder is checked, created
// on request and handed back to the setup dialog.
#include "e2e_support.h"

#include <commctrl.h>

namespace {

using uidriver::Control;
using uidriver::MessageBoxInfo;

const char kBrowserCaption[] = u8"请选择安装目录：";
const char kBoxCaption[] = "SetUp";  // the program's name, as the framework captions its boxes
constexpr int kTargetPath = 1000, kBrowse = 1015, kInstall = 1022;
constexpr int kTree = 14145, kStatus = 14147, kPathBox = 14148;
// The program re-applies OK's state with a message it posts to itself; a
// driver cannot wait for a posted message, so it gives it this long.
constexpr DWORD kSettleMs = 300;

class Browse : public e2e::SetupTest {
 public:
  using e2e::SetupTest::Answer;
 protected:
  // Puts target into the setup dialog's path box and opens the browser.
  HWND OpenBrowser(const std::string& target) {
    uidriver::SetText(Window(), kTargetPath, target);
    uidriver::Click(Window(), kBrowse);
    return uidriver::WaitTopWindow(Program().Id(), kBrowserCaption, e2e::kTimeoutMs);
  }
  // The browser's OK button, once what the program posted to itself has run.
  bool OkEnabled(HWND browser) {
    Sleep(kSettleMs);
    return uidriver::ReadControl(browser, IDOK).enabled;
  }
  static HWND FocusOf(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
  }
  std::string PathBox(HWND browser) { return uidriver::ReadControl(browser, kPathBox).text; }
  std::string TargetPath() { return uidriver::ReadControl(Window(), kTargetPath).text; }
  // Presses OK and returns the message box it brings up.
  MessageBoxInfo PressOkForBox(HWND browser) {
    uidriver::Click(browser, IDOK);
    return WaitBox(kBoxCaption);
  }
};

std::string Question(const std::string& path) {
  return "The folder:\n\n" + path + "\n\ndoes not exist. Do you want the folder to be created?";
}

std::string Invalid(const std::string& path) { return "The folder:\n\n" + path + "\n\nis invalid. Please reenter."; }

// The target here is a folder that nothing changes while the tests run:
// Wine's browser fails to select a folder by path (BFFM_SETSELECTION) the
// first time after a folder was created beside one on the path, such as the
// test folders in C:\e2e; Windows selects it.
TEST_F(Browse, OpensAtTheTargetWithThePathBoxAboveTheTree) {
  StartSetup();
  const std::string target = "C:\\windows";
  HWND browser = OpenBrowser(target);
  Shot("browser", browser);
  EXPECT_EQ(target, PathBox(browser)) << "the typed target is the initial selection";
  EXPECT_TRUE(OkEnabled(browser));

  Control tree = uidriver::ReadControl(browser, kTree);
  Control box = uidriver::ReadControl(browser, kPathBox);
  EXPECT_TRUE(box.visible);
  EXPECT_FALSE(uidriver::ReadControl(browser, kStatus).visible) << "the status text gives way to the box";
  EXPECT_EQ(tree.screen.left, box.screen.left);
  EXPECT_EQ(tree.screen.right, box.screen.right);
  EXPECT_EQ(tree.screen.top - 27, box.screen.top);
  EXPECT_EQ(tree.screen.top - 4, box.screen.bottom);
  EXPECT_EQ(SendMessageW(browser, WM_GETFONT, 0, 0), SendMessageW(box.hwnd, WM_GETFONT, 0, 0))
      << "the box has the browser's font";
  EXPECT_FALSE(IsWindowEnabled(Window())) << "the setup dialog owns the browser and waits for it";
}

TEST_F(Browse, CancelKeepsTheTypedTarget) {
  StartSetup();
  const std::string typed = Folder() + "\\not yet there";
  HWND browser = OpenBrowser(typed);
  // A missing folder cannot be selected: the box stays empty, and OK is off
  // whatever state the browser's first selection left it in.
  EXPECT_EQ("", PathBox(browser));
  EXPECT_FALSE(OkEnabled(browser));
  uidriver::SetText(browser, kPathBox, Folder());
  uidriver::Click(browser, IDCANCEL);
  uidriver::WaitWindowGone(browser, e2e::kTimeoutMs);
  EXPECT_EQ(typed, TargetPath());
  EXPECT_FALSE(uidriver::ReadControl(Window(), kInstall).enabled) << "re-evaluated: no release is installed";
  EXPECT_FALSE(Exists(typed));
}

TEST_F(Browse, MissingFolderIsCreatedAfterYesAndBecomesTheTarget) {
  StartSetup();
  HWND browser = OpenBrowser(Folder());
  const std::string wanted = Folder() + "\\new\\deeper";
  uidriver::SetText(browser, kPathBox, wanted);

  // No first: nothing is created and the browser stays open.
  MessageBoxInfo box = PressOkForBox(browser);
  EXPECT_EQ(Question(wanted), box.text);
  ASSERT_EQ(2u, box.buttons.size()) << "Yes and No";
  EXPECT_EQ(IDYES, box.buttons[0].first);
  EXPECT_EQ(IDNO, box.buttons[1].first);
  Shot("question", box.hwnd);
  EXPECT_FALSE(IsWindowEnabled(browser)) << "the box belongs to the browser: OK cannot be pressed again";
  Answer(box, IDNO);
  EXPECT_TRUE(IsWindow(browser));
  EXPECT_FALSE(Exists(Folder() + "\\new"));
  EXPECT_EQ(wanted, PathBox(browser));

  box = PressOkForBox(browser);
  EXPECT_EQ(Question(wanted), box.text);
  Answer(box, IDYES);
  uidriver::WaitWindowGone(browser, e2e::kTimeoutMs);
  EXPECT_TRUE(Exists(wanted));
  EXPECT_EQ(wanted, TargetPath()) << "the accepted folder, exactly as typed";
  Shot("accepted");
}

TEST_F(Browse, InvalidPathIsReportedAndTheBrowserStaysOpen) {
  StartSetup();
  HWND browser = OpenBrowser(Folder());
  // The long one, cut to the 259 characters of the path buffer, would be a
  // valid missing folder.
  for (const std::string& bad : {std::string("C:\\bad|name"), Folder() + "\\", Folder() + "\\nul.txt",
                                 Folder() + "\\" + std::string(300, 'x')}) {
    uidriver::SetText(browser, kPathBox, bad);
    MessageBoxInfo box = PressOkForBox(browser);
    EXPECT_EQ(Invalid(bad), box.text);
    ASSERT_EQ(1u, box.buttons.size()) << bad;
    Answer(box, box.buttons[0].first);
    EXPECT_TRUE(IsWindow(browser)) << bad;
    EXPECT_EQ(bad, PathBox(browser)) << "the text stays for correction";
    EXPECT_EQ(uidriver::ReadControl(browser, kPathBox).hwnd, FocusOf(browser));
  }
  uidriver::Close(browser);
  uidriver::WaitWindowGone(browser, e2e::kTimeoutMs);
  EXPECT_EQ(Folder(), TargetPath());
}

TEST_F(Browse, EmptyPathBoxDisablesOkAndAnyTextEnablesIt) {
  StartSetup();
  HWND browser = OpenBrowser(Folder());
  uidriver::SetText(browser, kPathBox, Folder());
  ASSERT_TRUE(OkEnabled(browser));
  uidriver::SetText(browser, kPathBox, "");
  EXPECT_FALSE(OkEnabled(browser));
  uidriver::SetText(browser, kPathBox, "x");
  EXPECT_TRUE(OkEnabled(browser)) << "checking waits for OK";
  uidriver::Click(browser, IDCANCEL);
  uidriver::WaitWindowGone(browser, e2e::kTimeoutMs);
}

}  // namespace
