// The shared machinery of the end-to-end tests.
#include "e2e_support.h"

#include <algorithm>
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
  RemoveAutoCadKeys();
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  m_id = std::string(test->test_suite_name()) + "." + test->name();
  std::replace(m_id.begin(), m_id.end(), '/', '_');  // parameterised tests
  m_folder = "C:\\e2e\\" + m_id;
  RemoveTree(m_folder);
  MakeFolders(m_folder + "\\Data");
  ASSERT_TRUE(CopyFileA(SETUP_EXE, (m_folder + "\\SetUp.exe").c_str(), FALSE));
  // Told to (the test script does), Wine searches for comctl32 as Windows for
  // any DLL that is no known DLL: the one planted here would be found.
  ASSERT_NE(nullptr, strstr(Environment(L"WINEDLLOVERRIDES").c_str(), "comctl32=n"));
  ASSERT_TRUE(CopyFileA(SETUP_PLANTED_DLL, (m_folder + "\\comctl32.dll").c_str(), FALSE));
  DeleteFileA(kPlantedMarker);
}

void SetupTest::TearDown() {
  const std::string shots = uidriver::WindowsPath(Environment(L"SETUP_SCREENSHOT_DIR"));
  if (HasFailure() && !shots.empty()) try {
      uidriver::SaveScreenshot(nullptr, shots + "\\" + m_id + ".bmp");
    } catch (const uidriver::Failure&) {  // the test has failed already
    }
  m_program.Terminate();
  if (m_folder.empty()) return;
  EXPECT_FALSE(Exists(kPlantedMarker)) << "the comctl32.dll planted beside SetUp.exe was loaded";
  if (!HasFailure()) RemoveTree(m_folder);
}
