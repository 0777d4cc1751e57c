// The start-up scan on hostile registries: deep and wide trees, the longest
// names, values of any type and size, keys deleted while it walks the tree.
#include <chrono>
#include <cstdio>

#include "acad_inventory.h"
#include "registry_helpers.h"
#include "reliability_support.h"
#include "sandbox.h"

namespace {

using reliability::Join;
using reliability::Named;
using reliability::RegWriteRaw;

// Leaks, here as everywhere in the host run, are LeakSanitizer's to find.
const std::string kNative = "SOFTWARE\\Autodesk\\AutoCAD";

int Index(int year) { return year - 2007; }

// "year=folder,folder year=folder" for every release that has products.
std::string Found(const CAcadInventory& inventory) {
  std::string text;
  for (int index = 0; index < kReleaseCount; ++index) {
    if (inventory.m_aInstallFolders[index].GetSize() == 0) continue;
    std::string folders = Join(inventory.m_aInstallFolders[index]);
    std::replace(folders.begin(), folders.end(), '|', ',');
    text += (text.empty() ? "" : " ") + std::to_string(2007 + index) + "=" + folders;
  }
  return text;
}

void AddProduct(const std::string& key, const std::string& folder, const std::string& name) {
  RegWriteString(HKEY_LOCAL_MACHINE, key, "AcadLocation", folder);
  RegWriteString(HKEY_LOCAL_MACHINE, key, "ProductName", name);
}

class ScanReliability : public testing::Test {
 protected:
  Sandbox sandbox;
  CAcadInventory inventory;
};

TEST_F(ScanReliability, ProductKey512LevelsBelowItsReleaseKeyIsFoundOnASmallStack) {
  std::string relative;
  for (int level = 1; level <= 512; ++level) relative += "L" + std::to_string(level) + "\\";
  AddProduct(kNative + "\\R18.0\\" + relative, "C:\\Deep\\", "AutoCAD 2010");
  AddProduct(kNative + "\\R18.1\\ACAD-9001:804", "C:\\Shallow", "AutoCAD 2011");

  // The search recurses once per level and walks the tree twice. Under the
  // sanitizers its frames are larger than in the program (512 KiB is too
  // little here), so a scan that fits in 1 MiB fits with room to spare in
  // the 2 MiB that SetUp.exe reserves for its main thread.
  reliability::RunWithStack(1 << 20, [this] { inventory.ScanInstalledReleases(); });

  ASSERT_EQ(1, inventory.m_aProductKeys[Index(2010)].GetSize());
  EXPECT_EQ(kNative + "\\R18.0\\" + relative, inventory.m_aProductKeys[Index(2010)][0].str());
  EXPECT_EQ("2010=C:\\Deep 2011=C:\\Shallow", Found(inventory));
  EXPECT_EQ(0, host::OpenRegistryHandleCount());
}

// First difference between the expected and the found list, or "".
std::string FirstDifference(const std::vector<std::string>& expected, const CStringArray& found) {
  for (size_t i = 0; i < expected.size() || i < static_cast<size_t>(found.GetSize()); ++i) {
    std::string want = i < expected.size() ? expected[i] : "(none)";
    std::string got = i < static_cast<size_t>(found.GetSize()) ? found[static_cast<int>(i)].str() : "(none)";
    if (want != got) return "entry " + std::to_string(i) + ": expected " + want + ", found " + got;
  }
  return "";
}

TEST_F(ScanReliability, TenThousandProductsBelowOneReleaseKeyAreAllFoundInOrder) {
  constexpr int kProducts = 10000;
  HKEY release = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_LOCAL_MACHINE, (kNative + "\\R18.0").c_str(), &release));
  std::vector<std::string> keys[kReleaseCount], folders[kReleaseCount];
  for (int i = 0; i < kProducts; ++i) {
    char name[16], folder[32], product[32];
    snprintf(name, sizeof name, "P%05d", i);
    snprintf(folder, sizeof folder, "C:\\AutoCAD\\%05d\\", i);
    snprintf(product, sizeof product, "AutoCAD %d", 2007 + i % kReleaseCount);
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(release, name, &key));
    RegSetValueExA(key, "AcadLocation", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder), strlen(folder) + 1);
    RegSetValueExA(key, "ProductName", 0, REG_SZ, reinterpret_cast<const BYTE*>(product), strlen(product) + 1);
    RegCloseKey(key);
    keys[i % kReleaseCount].push_back(kNative + "\\R18.0\\" + name + "\\");
    folders[i % kReleaseCount].push_back(std::string(folder, strlen(folder) - 1));
  }
  RegCloseKey(release);

  const auto start = std::chrono::steady_clock::now();
  inventory.ScanInstalledReleases();
  const auto elapsed =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
  // Loosely timed: reported, never asserted (machines and sanitizers vary).
  // Most of it goes to matching each location key against every name key.
  RecordProperty("scan_milliseconds", static_cast<int>(elapsed));
  printf("[   INFO   ] scan of %d products: %lld ms\n", kProducts, static_cast<long long>(elapsed));

  for (int index = 0; index < kReleaseCount; ++index) {
    EXPECT_EQ("", FirstDifference(keys[index], inventory.m_aProductKeys[index])) << 2007 + index;
    EXPECT_EQ("", FirstDifference(folders[index], inventory.m_aInstallFolders[index])) << 2007 + index;
  }
  EXPECT_EQ(0, host::OpenRegistryHandleCount());
}

// The product is found with its whole path of 795 characters; too long for
// the registration's path buffer, it then gets nothing written below it.
TEST_F(ScanReliability, KeyNamesOf255CharactersOnThePathToAProduct) {
  const std::string release = Named("R18.0-", 255, 'r');
  const std::string group = Named("Group-", 255, 'g');
  const std::string product = Named("ACAD-8001:804-", 255, 'p');
  const std::string key = kNative + "\\" + release + "\\" + group + "\\" + product;
  AddProduct(key, "C:\\Long", "AutoCAD 2010");
  // 255 characters is the longest key name the registry takes.
  HKEY refused = nullptr;
  ASSERT_NE(ERROR_SUCCESS, RegCreateKeyA(HKEY_LOCAL_MACHINE, (kNative + "\\" + release + "x").c_str(), &refused));

  inventory.ScanInstalledReleases();

  ASSERT_EQ(1, inventory.m_aProductKeys[Index(2010)].GetSize());
  EXPECT_EQ(key + "\\", inventory.m_aProductKeys[Index(2010)][0].str()) << "every name whole";
  EXPECT_EQ("2010=C:\\Long", Found(inventory));

  inventory.SetInstallPath("C:\\Tavrin\\T-RedavIzor");
  const std::string before = RegDump(HKEY_LOCAL_MACHINE, "SOFTWARE");
  inventory.RegisterRelease(2010);
  EXPECT_EQ("", reliability::TextDifference(before, RegDump(HKEY_LOCAL_MACHINE, "SOFTWARE")));
  EXPECT_EQ(0, host::OpenRegistryHandleCount());
}

// The data is taken as text up to its first zero byte and never beyond the
// bytes read, whatever the type; data of more than 256 bytes is absent.
// Each value stands on its own release key, which is then the product key.
// The 256 bytes without a zero come first, so that the scan's data buffer
// holds non-zero bytes when the shorter values are read into it.
TEST_F(ScanReliability, ValuesOfAnyTypeAreTakenAsTextWithinTheBytesRead) {
  const std::string twoFiftySix(256, 'b');
  const std::string productName = std::string("AutoCAD 2010") + '\0';
  const struct {
    const char* release;
    DWORD type;
    std::string location;
  } rows[] = {
      {"T01", REG_BINARY, twoFiftySix},
      {"T02", REG_DWORD, reliability::Dword(0x44434241)},  // "ABCD", no zero
      {"T03", REG_DWORD, reliability::Dword(0)},
      {"T04", REG_BINARY, "C:\\Bin"},
      {"T05", REG_SZ, ""},
      {"T06", REG_SZ, std::string(254, 'e') + '\0'},  // 255 bytes
      {"T07", REG_SZ, std::string(255, 'f') + '\0'},  // 256 bytes
      {"T08", REG_SZ, std::string(256, 'g') + '\0'},  // 257 bytes: absent
      {"T09", REG_MULTI_SZ, std::string("C:\\A\0C:\\B\0\0", 11)},
      {"T10", REG_EXPAND_SZ, std::string("%SystemDrive%\\CAD\\\0", 19)},
  };
  for (const auto& row : rows) {
    RegWriteRaw(HKEY_LOCAL_MACHINE, kNative + "\\" + row.release, "AcadLocation", row.type, row.location);
    RegWriteRaw(HKEY_LOCAL_MACHINE, kNative + "\\" + row.release, "ProductName", REG_SZ, productName);
  }
  // ProductName of other types: the year counts only in the text before the
  // first zero byte.
  RegWriteString(HKEY_LOCAL_MACHINE, kNative + "\\T11", "AcadLocation", "C:\\Multi");
  RegWriteRaw(HKEY_LOCAL_MACHINE, kNative + "\\T11", "ProductName", REG_MULTI_SZ,
              std::string("AutoCAD\0 2011\0\0", 16));
  RegWriteString(HKEY_LOCAL_MACHINE, kNative + "\\T12", "AcadLocation", "C:\\Binary");
  RegWriteRaw(HKEY_LOCAL_MACHINE, kNative + "\\T12", "ProductName", REG_BINARY, "AutoCAD 2012");

  inventory.ScanInstalledReleases();

  EXPECT_EQ(twoFiftySix + "|ABCD||C:\\Bin||" + std::string(254, 'e') + "|" + std::string(255, 'f') +
                "|C:\\A|%SystemDrive%\\CAD",
            Join(inventory.m_aInstallFolders[Index(2010)]));
  EXPECT_EQ(kNative + "\\T01\\|" + kNative + "\\T02\\|" + kNative + "\\T03\\|" + kNative + "\\T04\\|" + kNative +
                "\\T05\\|" + kNative + "\\T06\\|" + kNative + "\\T07\\|" + kNative + "\\T09\\|" + kNative +
                "\\T10\\",
            Join(inventory.m_aProductKeys[Index(2010)]));
  EXPECT_EQ(0, inventory.m_aProductKeys[Index(2011)].GetSize()) << "2011 stands after the zero byte";
  EXPECT_EQ("C:\\Binary", Join(inventory.m_aInstallFolders[Index(2012)]));
}

// Keys deleted while the scan walks the tree. Four release keys, in
// enumeration order R1 (a product of 2010), R2 (three products of 2011 in a
// group key G), R3 (2012) and R4 (2013). The calls of RegEnumKeyExA come in
// this order: 1 the root's index 0 (R1); 2 and 3 R1's subkeys, once per
// value name; 4 the root's index 1 (R2); 5 R2's index 0 (G); 6, 7, 8 G's
// subkeys; 9 to 12 the same for ProductName; 13 the root's index 2 (R3).
// The root's subkey count is read once, so a deletion leaves indexes past
// the end, and a visited key's deletion moves the later keys down by one:
// an index without a name is skipped, never taken as the root itself.
TEST(ScanWhileKeysAreDeleted, TheRestOfTheTreeIsScannedAndEveryHandleClosed) {
  const struct {
    const char* what;
    int atCall;
    const char* deleted;  // below the native root; "" is the root itself
    const char* found;
  } rows[] = {
      {"nothing deleted", 0, "", "2010=C:\\R1 2011=C:\\R2-1,C:\\R2-2,C:\\R2-3 2012=C:\\R3 2013=C:\\R4"},
      {"a sibling not yet visited", 1, "\\R3", "2010=C:\\R1 2011=C:\\R2-1,C:\\R2-2,C:\\R2-3 2013=C:\\R4"},
      {"a visited sibling: R2 moves to the index already passed", 4, "\\R1", "2010=C:\\R1 2012=C:\\R3 2013=C:\\R4"},
      {"the group key while its subkeys are listed", 7, "\\R2\\G", "2010=C:\\R1 2012=C:\\R3 2013=C:\\R4"},
      {"the release key being walked, R3 moves down", 6, "\\R2", "2010=C:\\R1 2013=C:\\R4"},
      {"the root itself", 4, "", "2010=C:\\R1"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    Sandbox sandbox;
    AddProduct(kNative + "\\R1\\ACAD-8001:804", "C:\\R1", "AutoCAD 2010");
    for (int i = 1; i <= 3; ++i)
      AddProduct(kNative + "\\R2\\G\\P" + std::to_string(i), "C:\\R2-" + std::to_string(i), "AutoCAD 2011");
    AddProduct(kNative + "\\R3\\ACAD-A001:804", "C:\\R3", "AutoCAD 2012");
    AddProduct(kNative + "\\R4\\ACAD-B001:804", "C:\\R4", "AutoCAD 2013");
    int calls = 0;
    const std::string deleted = kNative + row.deleted;
    host::SetCallHook("RegEnumKeyExA", [&] {
      if (++calls == row.atCall) {
        EXPECT_EQ(ERROR_SUCCESS, RegDeleteTreeA(HKEY_LOCAL_MACHINE, deleted.c_str()));
      }
    });
    CAcadInventory inventory;
    inventory.ScanInstalledReleases();
    host::SetCallHook("RegEnumKeyExA", nullptr);

    EXPECT_EQ(row.found, Found(inventory));
    EXPECT_EQ(0, host::OpenRegistryHandleCount());
    if (row.atCall != 0) {
      EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, deleted)) << "not created again";
    }
  }
}

}  // namespace
