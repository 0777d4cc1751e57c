// The shared machinery of the end-to-end tests: test folders, registry
// fixtures through regedit, screenshots per stage, and teardown.
#include "e2e_support.h"

#include <stdexcept>

#include "sandbox.h"

namespace e2e {
namespace {

std::string Environment(const wchar_t* name) {
  wchar_t value[32768];
  DWORD length = GetEnvironmentVariableW(name, value, 32768);
  return length > 0 && length < 32768 ? uidriver::Narrow(std::wstring(value, length)) : std::string();
}

void DeleteAutoCadTree(REGSAM view) {
  HKEY software = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE", 0, KEY_ALL_ACCESS | view, &software) != ERROR_SUCCESS) return;
  RegDeleteTreeW(software, L"Autodesk");
  RegDeleteTreeW(software, L"Wow6432Node\\Autodesk");
  RegCloseKey(software);
}

}  // namespace

const char kSetupCaption[] = u8"T-批打印软件安装";

std::string SetupExe() {
#ifdef E2E_SETUP_EXE
  return uidriver::WindowsPath(E2E_SETUP_EXE);
#else
  return std::string();
#endif
}


void ImportRegText(const std::string& utf8Text, RegistryView view) {
  std::string text = utf8Text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? utf8Text.substr(3) : utf8Text;
  std::wstring wide = L"\xFEFF" + uidriver::Widen(text);
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::wstring copy = std::wstring(temp) + L"e2e-" + std::to_wstring(GetCurrentProcessId()) + L".reg";
  HANDLE file = CreateFileW(copy.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot write " + uidriver::Narrow(copy));
  DWORD written = 0;
  WriteFile(file, wide.data(), static_cast<DWORD>(wide.size() * sizeof(wchar_t)), &written, nullptr);
  CloseHandle(file);

  wchar_t windows[MAX_PATH];
  GetWindowsDirectoryW(windows, MAX_PATH);
  std::string importer = uidriver::Narrow(windows) + "\\regedit.exe";
  uidriver::StartOptions options;
  options.args = {"/s", uidriver::Narrow(copy)};
  if (view == RegistryView::Bits64) {
    wchar_t wow64[MAX_PATH];
    if (GetSystemWow64DirectoryW(wow64, MAX_PATH) == 0) {
      DeleteFileW(copy.c_str());
      throw uidriver::Failure("a 32-bit Windows has no 64-bit registry view");
    }
    importer = uidriver::Narrow(windows) + "\\sysnative\\reg.exe";
    options.args = {"import", uidriver::Narrow(copy)};
  }
  DWORD code = uidriver::Process::Start(importer, options).WaitExit(30000);
  DeleteFileW(copy.c_str());
  if (code != 0) throw std::runtime_error(importer + " ended with " + std::to_string(code));
}

void ImportRegFixture(const std::string& name, RegistryView view) {
  std::optional<std::string> text = ReadTestFile(FixturePath(name));
  if (!text) throw std::runtime_error("cannot read fixture " + FixturePath(name));
  ImportRegText(*text, view);
}

void RemoveAutoCadKeys() {
  DeleteAutoCadTree(KEY_WOW64_64KEY);
  DeleteAutoCadTree(KEY_WOW64_32KEY);
  RegDeleteTreeW(HKEY_CURRENT_USER, L"SOFTWARE\\Autodesk");
}

std::string TestId() {
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string id = std::string(test->test_suite_name()) + "." + test->name();
  for (char& c : id)
    if (c == '/' || c == '\\' || c == ':') c = '_';
  return id;
}

void DrivenTest::TearDown() {
  if (!m_program.Running()) return;
  if (HasFailure()) Shot("failure", nullptr);
  m_program.Terminate();
}

HWND DrivenTest::Launch(const std::string& exe, const std::string& caption, const std::string& workdir) {
  uidriver::StartOptions options;
  options.workdir = workdir;
  m_program = uidriver::Process::Start(exe, options);
  m_window = uidriver::WaitTopWindow(m_program.Id(), caption, kWindowTimeoutMs);
  return m_window;
}

std::string DrivenTest::Shot(const std::string& stage, HWND window) {
  std::string folder = uidriver::WindowsPath(Environment(L"SETUP_SCREENSHOT_DIR"));
  if (folder.empty()) return std::string();
  CreateDirectoryW(uidriver::Widen(folder).c_str(), nullptr);
  std::string path = folder + "\\" + TestId() + "." + stage + ".png";
  try {
    uidriver::SaveScreenshot(window, path);
  } catch (const uidriver::Failure& failure) {
    ADD_FAILURE() << "screenshot " << stage << ": " << failure.what();
  }
  return path;
}

std::string DrivenTest::Shot(const std::string& stage) {
  return Shot(stage, m_window != nullptr && IsWindow(m_window) ? m_window : nullptr);
}

void SetupTest::SetUp() {
  if (SetupExe().empty()) GTEST_SKIP() << "this build has no SetUp.exe";
  RemoveAutoCadKeys();
  m_folder = "C:\\e2e\\" + TestId();
  RemoveTree(m_folder);
  MakeFolders(m_folder + "\\Data");
  std::wstring target = uidriver::Widen(m_folder + "\\SetUp.exe");
  ASSERT_TRUE(CopyFileW(uidriver::Widen(SetupExe()).c_str(), target.c_str(), FALSE))
      << "copying " << SetupExe() << " to " << m_folder << ": error " << GetLastError();
}

void SetupTest::TearDown() {
  DrivenTest::TearDown();
  if (m_folder.empty()) return;
  RemoveAutoCadKeys();
  if (!HasFailure()) RemoveTree(m_folder);
}

void SetupTest::WriteDataFile(const std::string& relative, const std::string& content) {
  std::string path = DataPath(relative);  // split before the conversion: a GBK trail byte can be '\\'
  MakeFolders(Utf8ToAnsi(path.substr(0, path.rfind('\\'))));
  WriteTestFile(Utf8ToAnsi(path), content);
}

HWND SetupTest::StartSetup() {
  HWND dialog = Launch(m_folder + "\\SetUp.exe", kSetupCaption, m_folder);
  Shot("start");
  return dialog;
}

}  // namespace e2e
