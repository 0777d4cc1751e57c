// The shared machinery of the end-to-end tests.
#include "e2e_support.h"

namespace e2e {
namespace {

std::string Environment(const wchar_t* name) {
  wchar_t value[32768];
  DWORD length = GetEnvironmentVariableW(name, value, 32768);
  return length > 0 && length < 32768 ? uidriver::Narrow(std::wstring(value, length)) : std::string();
}

std::string TestId() {
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string id = std::string(test->test_suite_name()) + "." + test->name();
  for (char& c : id)
    if (c == '/' || c == '\\' || c == ':') c = '_';
  return id;
}

}  // namespace

const char kSetupCaption[] = u8"T-批打印软件安装";
const char kBoxCaption[] = u8"T-软件安装";

std::string SetupExe(bool edition64) {
  return uidriver::WindowsPath(Environment(edition64 ? L"E2E_SETUP64_EXE" : L"E2E_SETUP_EXE"));
}

void RemoveAutoCadKeys() {
  for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
    HKEY software = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE", 0, KEY_ALL_ACCESS | view, &software) != ERROR_SUCCESS) continue;
    RegDeleteTreeW(software, L"Autodesk");
    RegDeleteTreeW(software, L"Wow6432Node\\Autodesk");
    RegCloseKey(software);
  }
  RegDeleteTreeW(HKEY_CURRENT_USER, L"SOFTWARE\\Autodesk");
}

void SetupTest::SetUp() {
  if (SetupExe().empty()) GTEST_SKIP() << "no SetUp.exe named in E2E_SETUP_EXE";
  RemoveAutoCadKeys();
  m_folder = "C:\\e2e\\" + TestId();
  RemoveTree(m_folder);
  MakeFolders(m_folder + "\\Data");
  ASSERT_TRUE(CopyFileW(uidriver::Widen(SetupExe()).c_str(), uidriver::Widen(m_folder + "\\SetUp.exe").c_str(), FALSE));
}

void SetupTest::TearDown() {
  if (m_program.Running()) {
    if (HasFailure()) Shot("failure", nullptr);
    m_program.Terminate();
  }
  if (m_folder.empty()) return;
  RemoveAutoCadKeys();
  if (!HasFailure()) RemoveTree(m_folder);
}

void SetupTest::WriteData(const std::string& relative, const std::string& content) {
  const std::string path = m_folder + "\\Data\\" + relative;  // split before converting: a trail byte can be '\'
  MakeFolders(Ansi(path.substr(0, path.rfind('\\'))));
  WriteFile(Ansi(path), content);
}

HWND SetupTest::StartSetup() {
  uidriver::StartOptions options;
  options.workdir = m_folder;
  m_program = uidriver::Process::Start(m_folder + "\\SetUp.exe", options);
  m_window = uidriver::WaitTopWindow(m_program.Id(), kSetupCaption, kTimeoutMs);
  Shot("start");
  return m_window;
}

uidriver::MessageBoxInfo SetupTest::WaitBox(const std::string& caption) {
  return uidriver::WaitMessageBox(m_program.Id(), caption, kTimeoutMs);
}

void SetupTest::Answer(const uidriver::MessageBoxInfo& box, int button) {
  uidriver::AnswerMessageBox(box.hwnd, button);
  uidriver::WaitWindowGone(box.hwnd, kTimeoutMs);
}

void SetupTest::Shot(const std::string& stage, HWND window) {
  const std::string folder = uidriver::WindowsPath(Environment(L"SETUP_SCREENSHOT_DIR"));
  if (folder.empty()) return;
  CreateDirectoryW(uidriver::Widen(folder).c_str(), nullptr);
  try {
    uidriver::SaveScreenshot(window != nullptr && IsWindow(window) ? window : nullptr,
                             folder + "\\" + TestId() + "." + stage + ".png");
  } catch (const uidriver::Failure& failure) {
    ADD_FAILURE() << "screenshot " << stage << ": " << failure.what();
  }
}

}  // namespace e2e
