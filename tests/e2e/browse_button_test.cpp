// The Browse button: the folder browser with a path box above its tree, at
// the target; Cancel changes nothing, a typed folder is checked and created.
#include "setup_test.h"

namespace {

const char kBrowserCaption[] = u8"请选择安装目录：";
constexpr int kTree = 14145, kStatus = 14147, kPathBox = 14148;  // the browser's

class Browse : public SetupTest {
 protected:
  HWND OpenBrowser(const std::string& target) {
    uidriver::SetText(Window(), kTargetPath, target);
    uidriver::Click(Window(), kBrowse);
    return uidriver::WaitTopWindow(Pid(), kBrowserCaption, kTimeoutMs);
  }
  // Types into the path box, presses OK: the box captioned with the program's name.
  uidriver::MessageBoxInfo Enter(HWND browser, const std::string& text) {
    uidriver::SetText(browser, kPathBox, text);
    uidriver::Click(browser, IDOK);
    return WaitBox("SetUp");
  }
};

TEST_F(Browse, OpensAtTheTargetAndHandsBackTheFolderTyped) {
  StartSetup();
  // C:\windows: Wine's browser fails to select a folder by path the first
  // time after a folder was created beside one on the path, as in C:\e2e.
  HWND browser = OpenBrowser("C:\\windows");
  EXPECT_EQ("C:\\windows", ReadControl(browser, kPathBox).text);
  const RECT tree = ReadControl(browser, kTree).screen, box = ReadControl(browser, kPathBox).screen;
  EXPECT_EQ((std::vector<LONG>{tree.left, tree.right, tree.top - 27, tree.top - 4}),
            (std::vector<LONG>{box.left, box.right, box.top, box.bottom}));
  EXPECT_FALSE(ReadControl(browser, kStatus).visible) << "the status text gives way to the box";
  uidriver::SetText(browser, kPathBox, "");
  Sleep(300);  // for what the program posts to itself
  EXPECT_FALSE(ReadControl(browser, IDOK).enabled);
  uidriver::Click(browser, IDCANCEL);
  uidriver::WaitWindowGone(browser, kTimeoutMs);
  EXPECT_EQ("C:\\windows", ReadControl(Window(), kTargetPath).text);
  EXPECT_FALSE(ReadControl(Window(), kInstall).enabled) << "re-evaluated: no release is installed";

  browser = OpenBrowser(machine.Root());
  // Cut to the 259 characters of the path buffer, this one would be valid.
  const std::string tooLong = machine.Root() + "\\" + std::string(300, 'x');
  uidriver::MessageBoxInfo answer = Enter(browser, tooLong);
  EXPECT_EQ("The folder:\n\n" + tooLong + "\n\nis invalid. Please reenter.", answer.text);
  Answer(answer, answer.buttons.at(0).first);
  EXPECT_EQ(tooLong, ReadControl(browser, kPathBox).text) << "the text stays for correction";
  const std::string wanted = machine.Root() + "\\new\\deeper";
  for (int button : {IDNO, IDYES}) {
    answer = Enter(browser, wanted);
    EXPECT_EQ("The folder:\n\n" + wanted + "\n\ndoes not exist. Do you want the folder to be created?", answer.text);
    EXPECT_FALSE(IsWindowEnabled(browser)) << "the box belongs to the browser";
    Answer(answer, button);
    EXPECT_EQ(button == IDYES, Exists(wanted));
  }
  uidriver::WaitWindowGone(browser, kTimeoutMs);
  EXPECT_EQ(wanted, ReadControl(Window(), kTargetPath).text) << "the accepted folder, exactly as typed";
}

}  // namespace
