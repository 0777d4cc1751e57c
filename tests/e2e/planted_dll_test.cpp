// A DLL planted beside SetUp.exe under the name of a system DLL is never
// loaded. Wine prefers its own comctl32 wherever one lies; told to prefer a
// DLL found on the search path (WINEDLLOVERRIDES=comctl32=n,b, which the
// test script sets), it searches as Windows does for a DLL that is no known
// DLL, and then loads one beside the program unless the program asks for
// the system folder's.
#include <cstring>

#include "e2e_support.h"

namespace {

class PlantedDll : public e2e::SetupTest {};

TEST_F(PlantedDll, BesideTheProgramIsNeverLoaded) {
  char overrides[512] = "";
  GetEnvironmentVariableA("WINEDLLOVERRIDES", overrides, sizeof overrides);
  ASSERT_NE(nullptr, strstr(overrides, "comctl32=n")) << "this test needs WINEDLLOVERRIDES=comctl32=n,b";
  const std::string marker = "C:\\planted-dll-loaded.txt";
  DeleteFileA(marker.c_str());
  ASSERT_TRUE(CopyFileA(SETUP_PLANTED_DLL, (Folder() + "\\comctl32.dll").c_str(), FALSE));
  HWND dialog = StartSetup();
  EXPECT_EQ("msctls_progress32", uidriver::ReadControl(dialog, 1014).className) << "the system's common controls";
  uidriver::Close(dialog);
  WaitExit();
  EXPECT_FALSE(Exists(marker)) << "the planted comctl32.dll was loaded";
  DeleteFileA(marker.c_str());
}

}  // namespace
