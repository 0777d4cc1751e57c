// The shared machinery of the end-to-end tests.
#include "setup_test.h"

#include <cstring>

namespace {

const char kPlantedMarker[] = "C:\\planted-dll-loaded.txt";  // left by the planted DLL

std::string Environment(const wchar_t* name) {
  const wchar_t* value = _wgetenv(name);
  return value ? uidriver::Narrow(value) : "";
}

}  // namespace

std::string SetupExe64() { return uidriver::WindowsPath(Environment(L"E2E_SETUP64_EXE")); }

void SetupTest::SetUp() {
  MakeFolders(machine.Path("Data"));
  ASSERT_TRUE(CopyFileA(SETUP_EXE, machine.Path("SetUp.exe").c_str(), FALSE));
  // Told to (the test script does), Wine searches for comctl32 as Windows for
  // any DLL that is no known DLL: the one planted here would be found.
  ASSERT_NE(nullptr, strstr(Environment(L"WINEDLLOVERRIDES").c_str(), "comctl32=n"));
  ASSERT_TRUE(CopyFileA(SETUP_PLANTED_DLL, machine.Path("comctl32.dll").c_str(), FALSE));
  DeleteFileA(kPlantedMarker);
}

HWND SetupTest::StartSetup(const std::string& folder) {
  const std::string from = folder.empty() ? machine.Root() : folder;
  if (from != machine.Root())
    for (const char* file : {"SetUp.exe", "comctl32.dll"}) CopyFileA(machine.Path(file).c_str(), (from + "\\" + file).c_str(), FALSE);
  m_program = uidriver::Process::Start(from + "\\SetUp.exe", {from, {}, {}});
  return m_window = uidriver::WaitTopWindow(Pid(), kDialogCaption, kTimeoutMs);
}

HWND SetupTest::WaitRestarted() {
  EXPECT_EQ(0u, WaitExit()) << "the first setup ends";
  m_window = uidriver::WaitTopWindow(0, kDialogCaption, kTimeoutMs);
  DWORD pid = 0;
  GetWindowThreadProcessId(m_window, &pid);
  return m_program = uidriver::Process::Attach(pid), m_window;
}

void SetupTest::TearDown() {
  const std::string shots = uidriver::WindowsPath(Environment(L"SETUP_SCREENSHOT_DIR"));
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string id = std::string(test->test_suite_name()) + "." + test->name();
  for (char& c : id) c = c == '/' ? '_' : c;  // parameterised tests
  if (HasFailure() && !shots.empty()) try {
      uidriver::SaveScreenshot(nullptr, shots + "\\" + id + ".bmp");
    } catch (const uidriver::Failure&) {  // the test has failed already
    }
  m_program.Terminate();
  EXPECT_FALSE(Exists(kPlantedMarker)) << "the comctl32.dll planted beside SetUp.exe was loaded";
}
