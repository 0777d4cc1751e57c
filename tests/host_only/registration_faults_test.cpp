// Registration under injected registry failures, and the handles it leaves
// open (none), which only the host emulation can arrange and count.
#include <gtest/gtest.h>

#include "acad_inventory.h"
#include "host_test_api.h"
#include "registry_helpers.h"
#include "sandbox.h"

namespace {

const std::string kAcad = "SOFTWARE\\Autodesk\\AutoCAD";
const char kTarget[] = "C:\\Tavrin\\T-RedavIzor";
const std::string kProfiles = kAcad + "\\R18.0\\ACAD-8001:804\\Profiles";

class RegistrationFaults : public testing::Test {
 protected:
  RegistrationFaults() {
    inventory.SetInstallPath(kTarget);
    RegWriteString(HKEY_CURRENT_USER, kProfiles + "\\A\\Variables", "TRUSTEDPATHS", "c:\\a");
    RegWriteString(HKEY_CURRENT_USER, kProfiles + "\\B\\Variables", "TRUSTEDPATHS", "c:\\b");
  }
  static std::optional<std::string> Trusted(const std::string& profile) {
    return RegReadString(HKEY_CURRENT_USER, kProfiles + "\\" + profile + "\\Variables", "TRUSTEDPATHS");
  }
  void AddProduct(int year, const std::string& key, const std::string& folder) {
    RegMakeKey(HKEY_LOCAL_MACHINE, key);
    inventory.m_aProductKeys[year - 2007].Add((key + "\\").c_str());
    inventory.m_aInstallFolders[year - 2007].Add(folder.c_str());
  }

  Sandbox sandbox;
  CAcadInventory inventory;
};

TEST_F(RegistrationFaults, ValueThatCannotBeReadIsLeftAsItWas) {
  host::FailCalls("RegQueryValueExA", ERROR_ACCESS_DENIED, 0, 1);
  inventory.AddTrustedPaths();
  EXPECT_EQ("c:\\a", Trusted("A")) << "not taken as empty and replaced";
  EXPECT_EQ(std::string("C:\\B;C:\\TAVRIN\\T-REDAVIZOR"), Trusted("B"));
}

TEST_F(RegistrationFaults, VariablesKeyThatExistsButCannotBeOpenedIsLeftAsItWas) {
  // The first two opens are those of HKEY_CURRENT_USER itself (phases 1 and 2).
  host::FailCalls("RegOpenKeyA", ERROR_ACCESS_DENIED, 2, 1);
  inventory.AddTrustedPaths();
  EXPECT_EQ("c:\\a", Trusted("A"));
  EXPECT_EQ(std::string("C:\\B;C:\\TAVRIN\\T-REDAVIZOR"), Trusted("B"));
}

TEST_F(RegistrationFaults, SubkeyNameThatCannotBeReadMakesNoProfile) {
  // Enumerations: the release key (0), its product (1), then profiles A (2) and B (3).
  host::FailCalls("RegEnumKeyExA", ERROR_MORE_DATA, 2, 1);
  inventory.AddTrustedPaths();
  EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, kProfiles + "\\Variables"))
      << "an empty name would have named the Profiles key itself";
  EXPECT_EQ("c:\\a", Trusted("A"));
  EXPECT_EQ(std::string("C:\\B;C:\\TAVRIN\\T-REDAVIZOR"), Trusted("B"));
}

TEST_F(RegistrationFaults, EveryHandleIsClosedAlsoWhenTheListErrorPassesThrough) {
  AddProduct(2009, kAcad + "\\R17.2\\ACAD-7001:804", "C:\\AutoCAD 2009");
  AddProduct(2010, kAcad + "\\R18.0\\ACAD-8001:804", "C:\\AutoCAD 2010");
  ASSERT_EQ(0, host::OpenRegistryHandleCount());
  inventory.RegisterSelectedReleases(0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  EXPECT_EQ(0, host::OpenRegistryHandleCount()) << "after registration and trusted paths";

  inventory.m_aProductKeys[2010 - 2007].Add((kAcad + "\\R18.0\\ACAD-8004:804\\").c_str());
  RegMakeKey(HKEY_LOCAL_MACHINE, kAcad + "\\R18.0\\ACAD-8004:804");
  EXPECT_THROW(inventory.RegisterRelease(2010), CInvalidArgException);
  EXPECT_EQ(0, host::OpenRegistryHandleCount()) << "after the error left the product and its subkey";

  host::FailCalls("RegQueryValueExA", ERROR_ACCESS_DENIED, 0, 1);
  inventory.AddTrustedPaths();
  EXPECT_EQ(0, host::OpenRegistryHandleCount()) << "after a read failure";
}

}  // namespace
