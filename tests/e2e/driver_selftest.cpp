// The UI driver tried on its sample dialog: every operation, the failures it
// reports, its PNG files, and the same operations through uidriver.exe as
// scripts call it.
#include <algorithm>
#include <functional>
#include <map>

#include "e2e_support.h"
#include "png_reader.h"
#include "sample_ids.h"
#include "sandbox.h"

namespace e2e {
namespace {

using namespace uidriver;

const char kSampleCaption[] = u8"驱动自测 样例";
const char kQuestionCaption[] = u8"样例询问";

::testing::AssertionResult Contains(const std::string& text, const std::string& part) {
  if (text.find(part) != std::string::npos) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "\"" << text << "\" does not contain \"" << part << "\"";
}

std::string FailureOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Failure& failure) {
    return failure.what();
  }
  return "(no failure)";
}

std::map<int, Control> ById(const std::vector<Control>& controls) {
  std::map<int, Control> byId;
  for (const Control& control : controls) byId[control.id] = control;
  return byId;
}

// A folder of the test's own below %TEMP%, removed at the end.
class TempFolder {
 public:
  TempFolder() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    m_path = Narrow(temp) + "e2e-" + TestId();
    RemoveTree(Utf8ToAnsi(m_path));
    MakeFolders(Utf8ToAnsi(m_path));
  }
  ~TempFolder() { RemoveTree(Utf8ToAnsi(m_path)); }
  std::string Path(const std::string& name) const { return m_path + "\\" + name; }
  const std::string& Root() const { return m_path; }

 private:
  std::string m_path;
};

Png DecodeFile(const std::string& path) {
  Png image;
  std::optional<std::string> bytes = ReadTestFile(Utf8ToAnsi(path));
  if (!bytes) {
    ADD_FAILURE() << "no file " << path;
    return image;
  }
  std::string error = DecodePng(*bytes, &image);
  EXPECT_EQ(error, "") << path;
  return image;
}

class DriverSelfTest : public DrivenTest {
 protected:
  HWND StartSample() { return Launch(SampleExe(), kSampleCaption); }
};

TEST_F(DriverSelfTest, ListsEveryControlWithItsState) {
  HWND dialog = StartSample();
  std::map<int, Control> controls = ById(ListControls(dialog));
  EXPECT_EQ(controls.size(), 8u);
  const struct {
    int id;
    const char* className;
    bool visible, enabled;
    int checked;
    const char* text;
  } expected[] = {
      {IDC_OPTION, "Button", true, true, 0, u8"启用选项"}, {IDC_PATH, "Edit", true, true, -1, ""},
      {IDC_ECHO, "Static", true, true, -1, ""},          {IDC_HIDDEN, "Static", false, true, -1, u8"隐藏"},
      {IDC_ASK, "Button", true, true, -1, u8"询问..."},  {IDC_DISABLED, "Button", true, false, -1, u8"停用"},
      {IDCANCEL, "Button", true, true, -1, u8"取消"},
  };
  for (const auto& want : expected) {
    ASSERT_EQ(controls.count(want.id), 1u) << "control " << want.id;
    const Control& got = controls[want.id];
    SCOPED_TRACE(DescribeControl(got));
    EXPECT_EQ(got.className, want.className);
    EXPECT_EQ(got.visible, want.visible);
    EXPECT_EQ(got.enabled, want.enabled);
    EXPECT_EQ(got.checked, want.checked);
    EXPECT_EQ(got.text, want.text);
  }

  // Client rectangles are screen rectangles seen from the client area, and
  // controls at the same x in the template line up.
  POINT origin = {0, 0};
  ClientToScreen(dialog, &origin);
  RECT client;
  GetClientRect(dialog, &client);
  for (const auto& entry : controls) {
    const Control& control = entry.second;
    SCOPED_TRACE(DescribeControl(control));
    EXPECT_EQ(control.client.left, control.screen.left - origin.x);
    EXPECT_EQ(control.client.top, control.screen.top - origin.y);
    EXPECT_EQ(control.client.right - control.client.left, control.screen.right - control.screen.left);
    EXPECT_TRUE(control.client.left >= 0 && control.client.top >= 0 && control.client.right <= client.right &&
                control.client.bottom <= client.bottom);
  }
  EXPECT_EQ(controls[IDC_OPTION].client.left, controls[IDC_PATH].client.left);
  EXPECT_EQ(ReadControl(dialog, IDC_DISABLED).enabled, false);
  Shot("start");
}

TEST_F(DriverSelfTest, ClicksAndTextReachTheProgram) {
  HWND dialog = StartSample();
  Click(dialog, IDC_OPTION);
  EXPECT_EQ(ReadControl(dialog, IDC_OPTION).checked, BST_CHECKED);
  Click(dialog, IDC_OPTION);
  EXPECT_EQ(ReadControl(dialog, IDC_OPTION).checked, BST_UNCHECKED);

  // The label repeats the edit box only from its EN_CHANGE handler.
  const std::string path = u8"D:\\目标 路径\\子目录";
  SetText(dialog, IDC_PATH, path);
  EXPECT_EQ(ReadControl(dialog, IDC_PATH).text, path);
  EXPECT_EQ(ReadControl(dialog, IDC_ECHO).text, path);
  Shot("filled");

  // What a user cannot click, the driver refuses to click.
  EXPECT_TRUE(Contains(FailureOf([&] { Click(dialog, IDC_DISABLED); }), "control 105"));
  EXPECT_TRUE(Contains(FailureOf([&] { Click(dialog, IDC_DISABLED); }), "disabled"));
  EXPECT_TRUE(Contains(FailureOf([&] { Click(dialog, IDC_HIDDEN); }), "hidden"));
  EXPECT_TRUE(Program().Running());
}

TEST_F(DriverSelfTest, KeysAndTheCloseBoxEndTheDialog) {
  const struct {
    const char* what;
    std::function<void(HWND)> act;
    DWORD exitCode;
  } cases[] = {
      {"Escape (to the focused check box)", [](HWND w) { PressKey(w, Key::Escape); }, IDCANCEL},
      {"Enter (to the focused check box)", [](HWND w) { PressKey(w, Key::Enter); }, IDOK},
      {"Enter in the edit box", [](HWND w) { PressKey(w, Key::Enter, IDC_PATH); }, IDOK},
      {"the close box", [](HWND w) { Close(w); }, IDCANCEL},
  };
  for (const auto& entry : cases) {
    SCOPED_TRACE(entry.what);
    entry.act(StartSample());
    EXPECT_EQ(WaitExit(), entry.exitCode);
  }
}

TEST_F(DriverSelfTest, MessageBoxIsFoundReadAndAnswered) {
  HWND dialog = StartSample();
  Click(dialog, IDC_ASK);
  // Click returns once the program sits in the box's modal loop.
  EXPECT_NE(FindTopWindow(Program().Id(), kQuestionCaption, "#32770"), nullptr);

  MessageBoxInfo box = WaitMessageBox(Program().Id(), kQuestionCaption, 5000);
  EXPECT_EQ(box.caption, kQuestionCaption);
  EXPECT_EQ(box.text, u8"要继续吗？");
  std::vector<int> ids;
  for (const auto& button : box.buttons) {
    ids.push_back(button.first);
    EXPECT_FALSE(button.second.empty()) << "button " << button.first;
  }
  EXPECT_EQ(ids, (std::vector<int>{IDABORT, IDRETRY, IDIGNORE}));
  Shot("question");

  AnswerMessageBox(box.hwnd, IDIGNORE);
  EXPECT_EQ(WaitExit(), static_cast<DWORD>(IDIGNORE));
}

TEST_F(DriverSelfTest, ScreenshotsAreValidPngsOfWhatTheScreenShows) {
  HWND dialog = StartSample();
  TempFolder folder;
  const Rgb red = {255, 0, 0};
  RECT window;
  GetWindowRect(dialog, &window);
  Control swatch = ReadControl(dialog, IDC_SWATCH);
  const LONG swatchX = (swatch.screen.left + swatch.screen.right) / 2;
  const LONG swatchY = (swatch.screen.top + swatch.screen.bottom) / 2;

  SaveScreenshot(dialog, folder.Path("window.png"));
  Png shot = DecodeFile(folder.Path("window.png"));
  ASSERT_EQ(shot.width, static_cast<uint32_t>(window.right - window.left));
  ASSERT_EQ(shot.height, static_cast<uint32_t>(window.bottom - window.top));
  uint32_t x = swatchX - window.left, y = swatchY - window.top;
  EXPECT_EQ(shot.At(x, y), red);  // channels in the right order
  EXPECT_FALSE(shot.At(x, shot.height - 1 - y) == red);  // rows top first
  EXPECT_FALSE(shot.At(shot.width - 1 - x, y) == red);

  SaveScreenshot(nullptr, folder.Path("desktop.png"));
  Png desktop = DecodeFile(folder.Path("desktop.png"));
  ASSERT_EQ(desktop.width, static_cast<uint32_t>(GetSystemMetrics(SM_CXVIRTUALSCREEN)));
  ASSERT_EQ(desktop.height, static_cast<uint32_t>(GetSystemMetrics(SM_CYVIRTUALSCREEN)));
  EXPECT_EQ(desktop.At(swatchX - GetSystemMetrics(SM_XVIRTUALSCREEN), swatchY - GetSystemMetrics(SM_YVIRTUALSCREEN)),
            red);

  // The reader above does check: one changed pixel byte breaks the file.
  std::string bytes = *ReadTestFile(Utf8ToAnsi(folder.Path("window.png")));
  bytes[bytes.size() / 2] ^= 0x01;
  Png broken;
  EXPECT_NE(DecodePng(bytes, &broken), "");

  // Stage shots go where SETUP_SCREENSHOT_DIR says, named after the test.
  wchar_t saved[32768];
  DWORD savedLength = GetEnvironmentVariableW(L"SETUP_SCREENSHOT_DIR", saved, 32768);
  SetEnvironmentVariableW(L"SETUP_SCREENSHOT_DIR", Widen(folder.Root()).c_str());
  std::string stage = Shot("stage");
  SetEnvironmentVariableW(L"SETUP_SCREENSHOT_DIR", savedLength > 0 ? saved : nullptr);
  EXPECT_EQ(stage, folder.Path("DriverSelfTest.ScreenshotsAreValidPngsOfWhatTheScreenShows.stage.png"));
  EXPECT_EQ(DecodeFile(stage).width, shot.width);
}

TEST_F(DriverSelfTest, FailuresNameWhatWasAskedFor) {
  HWND dialog = StartSample();
  DWORD pid = Program().Id();
  std::string noWindow = FailureOf([&] { WaitTopWindow(pid, u8"没有这个窗口", 300); });
  EXPECT_TRUE(Contains(noWindow, u8"\"没有这个窗口\""));
  EXPECT_TRUE(Contains(noWindow, "300 ms"));
  EXPECT_TRUE(Contains(noWindow, kSampleCaption));  // what the process does show
  std::string noBox = FailureOf([&] { WaitMessageBox(pid, kQuestionCaption, 300); });
  EXPECT_TRUE(Contains(noBox, kQuestionCaption));
  EXPECT_TRUE(Contains(noBox, "#32770"));
  EXPECT_TRUE(Contains(FailureOf([&] { Program().WaitExit(300); }), "still runs after 300 ms"));
  std::string noControl = FailureOf([&] { ReadControl(dialog, 999); });
  EXPECT_TRUE(Contains(noControl, "999"));
  EXPECT_TRUE(Contains(noControl, kSampleCaption));
  EXPECT_TRUE(Contains(FailureOf([&] { Process::Start("C:\\no\\such.exe"); }), "cannot start C:\\no\\such.exe"));
}

TEST_F(DriverSelfTest, StartPassesArgumentsEnvironmentAndFolder) {
  TempFolder folder;
  WriteTestFile(Utf8ToAnsi(folder.Path("marker.txt")), "");
  wchar_t system[MAX_PATH];
  GetSystemDirectoryW(system, MAX_PATH);
  StartOptions options;
  options.workdir = folder.Root();
  options.args = {"/c", "if exist marker.txt exit %E2E_CODE%"};
  options.env["E2E_CODE"] = "7";
  EXPECT_EQ(Process::Start(Narrow(system) + "\\cmd.exe", options).WaitExit(kExitTimeoutMs), 7u);
}

struct DriverRun {
  DWORD code;
  std::string out, err;
};

// uidriver.exe with these arguments, its output read back from files.
DriverRun RunDriver(const TempFolder& folder, const std::vector<std::string>& args) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  std::wstring outPath = Widen(folder.Path("out.txt")), errPath = Widen(folder.Path("err.txt"));
  HANDLE out = CreateFileW(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
  HANDLE err = CreateFileW(errPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
  std::wstring commandLine = L"uidriver";
  for (const std::string& arg : args) commandLine += L" \"" + Widen(arg) + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = out;
  startup.hStdError = err;
  PROCESS_INFORMATION info = {};
  BOOL started = CreateProcessW(Widen(DriverExe()).c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                                nullptr, &startup, &info);
  CloseHandle(out);
  CloseHandle(err);
  if (!started) throw Failure("cannot start " + DriverExe());
  CloseHandle(info.hThread);
  DriverRun run = {};
  WaitForSingleObject(info.hProcess, 60000);
  GetExitCodeProcess(info.hProcess, &run.code);
  CloseHandle(info.hProcess);
  run.out = ReadTestFile(Utf8ToAnsi(folder.Path("out.txt"))).value_or("");
  run.err = ReadTestFile(Utf8ToAnsi(folder.Path("err.txt"))).value_or("");
  return run;
}

TEST_F(DriverSelfTest, CommandLineDriverDoesTheSameForScripts) {
  TempFolder folder;
  DriverRun started = RunDriver(folder, {"start", SampleExe()});
  ASSERT_EQ(started.code, 0u) << started.err;
  DWORD pid = std::stoul(started.out);
  Program() = Process::Attach(pid);  // so that teardown ends it, and the exit code is kept

  EXPECT_EQ(RunDriver(folder, {"wait-window", kSampleCaption}).out, std::to_string(pid) + "\n");
  EXPECT_EQ(RunDriver(folder, {"click", kSampleCaption, "101"}).code, 0u);
  EXPECT_TRUE(Contains(RunDriver(folder, {"read", kSampleCaption, "101"}).out, "checked=1"));
  EXPECT_EQ(RunDriver(folder, {"set-text", kSampleCaption, "102", u8"路径 二"}).code, 0u);
  EXPECT_TRUE(Contains(RunDriver(folder, {"read", kSampleCaption, "103"}).out, u8"text=路径 二\n"));
  std::string dump = RunDriver(folder, {"dump", kSampleCaption}).out;
  EXPECT_EQ(std::count(dump.begin(), dump.end(), '\n'), 8);
  EXPECT_TRUE(Contains(dump, u8"id=105 class=Button visible=1 enabled=0 checked=- "));
  EXPECT_TRUE(Contains(dump, u8"id=106 class=Static visible=0 "));

  EXPECT_EQ(RunDriver(folder, {"click", kSampleCaption, "104"}).code, 0u);
  DriverRun box = RunDriver(folder, {"box", kQuestionCaption});
  EXPECT_TRUE(Contains(box.out, u8"text=要继续吗？\n"));
  EXPECT_TRUE(Contains(box.out, "button=5 "));
  EXPECT_EQ(RunDriver(folder, {"answer", kQuestionCaption, "5"}).code, 0u);
  EXPECT_EQ(RunDriver(folder, {"wait-exit", std::to_string(pid)}).out, "5\n");

  DriverRun usage = RunDriver(folder, {"frobnicate"});
  EXPECT_EQ(usage.code, 2u);
  EXPECT_TRUE(Contains(usage.err, "usage: uidriver"));
  DriverRun missing = RunDriver(folder, {"wait-window", u8"没有这个窗口", "200"});
  EXPECT_EQ(missing.code, 1u);
  EXPECT_TRUE(Contains(missing.err, u8"no window \"没有这个窗口\""));
}

}  // namespace
}  // namespace e2e
