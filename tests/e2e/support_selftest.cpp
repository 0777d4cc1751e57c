// The test machinery itself: registry fixtures through regedit keep their
// Chinese names and land in the view asked for, the AutoCAD keys go from both
// views, and a test's teardown ends the program it left running.
#include <optional>

#include "e2e_support.h"

namespace e2e {
namespace {

const wchar_t kProduct[] = L"SOFTWARE\\Autodesk\\AutoCAD\\R17.0\\ACAD-5001:804";
const wchar_t kProfile[] = L"SOFTWARE\\Autodesk\\配置 一";

std::optional<std::wstring> ReadString(HKEY root, const wchar_t* key, const wchar_t* name, REGSAM view) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(root, key, 0, KEY_READ | view, &handle) != ERROR_SUCCESS) return std::nullopt;
  wchar_t value[512] = L"";
  DWORD size = sizeof value - sizeof(wchar_t), type = 0;
  LONG status = RegQueryValueExW(handle, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(handle);
  if (status != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
  return std::wstring(value);
}

bool KeyExists(HKEY root, const wchar_t* key, REGSAM view) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(root, key, 0, KEY_READ | view, &handle) != ERROR_SUCCESS) return false;
  RegCloseKey(handle);
  return true;
}

bool Is64BitWindows() {
  BOOL wow64 = FALSE;
  return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

TEST(E2eSupport, RegFixturesKeepChineseNamesAndGoIntoTheViewAskedFor) {
  RemoveAutoCadKeys();
  ImportRegText(u8"Windows Registry Editor Version 5.00\r\n\r\n"
                u8"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Autodesk\\AutoCAD\\R17.0\\ACAD-5001:804]\r\n"
                u8"\"ProductName\"=\"AutoCAD 2007 - 简体中文\"\r\n\r\n"
                u8"[HKEY_CURRENT_USER\\SOFTWARE\\Autodesk\\配置 一]\r\n"
                u8"\"名称\"=\"C:\\\\目标\"\r\n");
  EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kProduct, L"ProductName", KEY_WOW64_32KEY), L"AutoCAD 2007 - 简体中文");
  EXPECT_EQ(ReadString(HKEY_CURRENT_USER, kProfile, L"名称", 0), L"C:\\目标");
  if (Is64BitWindows()) {
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kProduct, KEY_WOW64_64KEY)) << "the 32-bit import reached the 64-bit view";
    ImportRegText(u8"Windows Registry Editor Version 5.00\r\n\r\n"
                  u8"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Autodesk\\AutoCAD\\R17.0\\ACAD-5001:804]\r\n"
                  u8"\"ProductName\"=\"AutoCAD 2007 (64 位)\"\r\n",
                  RegistryView::Bits64);
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kProduct, L"ProductName", KEY_WOW64_64KEY), L"AutoCAD 2007 (64 位)");
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kProduct, L"ProductName", KEY_WOW64_32KEY), L"AutoCAD 2007 - 简体中文");
  } else {
    EXPECT_THROW(ImportRegText("Windows Registry Editor Version 5.00\r\n", RegistryView::Bits64), uidriver::Failure);
  }

  RemoveAutoCadKeys();
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Autodesk", KEY_WOW64_32KEY));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Autodesk", KEY_WOW64_64KEY));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, L"SOFTWARE\\Autodesk", 0));
}

// A fixture that gtest does not run, to see what its teardown does.
class ProbeTest : public DrivenTest {
 public:
  void TestBody() override {}
  using DrivenTest::Launch;
  using DrivenTest::Program;
  using DrivenTest::TearDown;
};

TEST(E2eSupport, TeardownEndsAProgramLeftRunning) {
  ProbeTest probe;
  probe.Launch(SampleExe(), u8"驱动自测 样例");
  ASSERT_TRUE(probe.Program().Running());
  probe.TearDown();
  EXPECT_FALSE(probe.Program().Running());
}

}  // namespace
}  // namespace e2e
