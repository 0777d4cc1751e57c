// The registry contracts the program relies on, checked against the real
// registry (Wine) and the emulation (host) alike.
#include <gtest/gtest.h>

#include "registry_helpers.h"
#include "sandbox.h"

namespace {

const char kBase[] = "SOFTWARE\\Autodesk\\AutoCAD";

struct Key {
  HKEY handle = nullptr;
  ~Key() {
    if (handle && handle != HKEY_LOCAL_MACHINE && handle != HKEY_CURRENT_USER) RegCloseKey(handle);
  }
};

class RegistryContract : public testing::Test {
 protected:
  Sandbox sandbox;
};

TEST_F(RegistryContract, NamesAreFoundWithoutCaseAndEnumeratedInAStableOrder) {
  RegWriteString(HKEY_LOCAL_MACHINE, std::string(kBase) + "\\R19.0\\ACAD-B001:804", "ProductName", "x");
  RegMakeKey(HKEY_LOCAL_MACHINE, std::string(kBase) + "\\r18.0");
  Key key;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, "software\\AUTODESK\\autocad\\r19.0\\acad-b001:804", 0,
                                         KEY_READ, &key.handle));
  EXPECT_EQ("x", RegReadString(HKEY_LOCAL_MACHINE, std::string(kBase) + "\\R19.0\\acad-B001:804", "PRODUCTNAME"));

  Key root;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, kBase, 0, KEY_READ, &root.handle));
  char names[2][256];
  for (DWORD i = 0; i < 2; ++i) {
    DWORD size = 256;
    ASSERT_EQ(ERROR_SUCCESS, RegEnumKeyExA(root.handle, i, names[i], &size, nullptr, nullptr, nullptr, nullptr));
  }
  // Sorted without case, names kept as they were created.
  EXPECT_STREQ("r18.0", names[0]);
  EXPECT_STREQ("R19.0", names[1]);
  DWORD size = 256;
  EXPECT_EQ(ERROR_NO_MORE_ITEMS, RegEnumKeyExA(root.handle, 2, names[0], &size, nullptr, nullptr, nullptr, nullptr));
}

TEST_F(RegistryContract, KeyPathsWithTrailingBackslashOpenTheKeyTheyName) {
  RegWriteString(HKEY_LOCAL_MACHINE, std::string(kBase) + "\\R17.0\\P", "AcadLocation", "C:\\A");
  Key key;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Autodesk\\AutoCAD\\R17.0\\P\\", &key.handle));
  ASSERT_NE(nullptr, key.handle);
  char data[16];
  DWORD size = sizeof data;
  EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key.handle, "AcadLocation", nullptr, nullptr,
                                            reinterpret_cast<BYTE*>(data), &size));
  EXPECT_STREQ("C:\\A", data);

  Key leading;
  EXPECT_NE(ERROR_SUCCESS, RegOpenKeyA(HKEY_LOCAL_MACHINE, "\\SOFTWARE\\Autodesk", &leading.handle));
  EXPECT_EQ(nullptr, leading.handle);
}

TEST_F(RegistryContract, OpeningARootWithoutSubkeyGivesTheRootItself) {
  Key key;
  EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyA(HKEY_LOCAL_MACHINE, nullptr, &key.handle));
  EXPECT_EQ(HKEY_LOCAL_MACHINE, key.handle);
  Key same;
  EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExA(key.handle, "", 0, KEY_READ, &same.handle));
  EXPECT_EQ(HKEY_LOCAL_MACHINE, same.handle);
}

TEST_F(RegistryContract, ValueReadsReportAbsenceAndTooSmallBuffers) {
  const std::string path = std::string(kBase) + "\\V";
  RegWriteString(HKEY_LOCAL_MACHINE, path, "Text", "abcdef");
  RegWriteDword(HKEY_LOCAL_MACHINE, path, "Number", 2);
  Key key;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key.handle));

  char data[8] = "zzzzzzz";
  DWORD size = sizeof data, type = REG_SZ;
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegQueryValueExA(key.handle, "Missing", nullptr, &type,
                                                   reinterpret_cast<BYTE*>(data), &size));
  size = 4;
  EXPECT_EQ(ERROR_MORE_DATA, RegQueryValueExA(key.handle, "Text", nullptr, &type, reinterpret_cast<BYTE*>(data), &size));
  EXPECT_EQ(7u, size) << "the size needed, terminator included";
  size = sizeof data;
  EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key.handle, "Text", nullptr, &type, reinterpret_cast<BYTE*>(data), &size));
  EXPECT_EQ(REG_SZ, type);
  EXPECT_EQ(7u, size);
  EXPECT_STREQ("abcdef", data);

  std::optional<RegValue> number = RegRead(HKEY_LOCAL_MACHINE, path, "number");
  ASSERT_TRUE(number);
  EXPECT_EQ(REG_DWORD, number->type);
  EXPECT_EQ(std::string("\x02\x00\x00\x00", 4), number->bytes);
}

TEST_F(RegistryContract, DeleteRemovesALeafWithItsValuesButNotAKeyWithSubkeys) {
  const std::string apps = std::string(kBase) + "\\R\\P\\Applications";
  RegWriteString(HKEY_LOCAL_MACHINE, apps + "\\Leaf", "Old", "1");
  RegMakeKey(HKEY_LOCAL_MACHINE, apps + "\\Branch\\Child");
  Key key;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyA(HKEY_LOCAL_MACHINE, apps.c_str(), &key.handle));

  EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyA(key.handle, "leaf"));
  Key recreated;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(key.handle, "Leaf", &recreated.handle));
  EXPECT_FALSE(RegRead(HKEY_LOCAL_MACHINE, apps + "\\Leaf", "Old")) << "a re-created key starts empty";

  EXPECT_NE(ERROR_SUCCESS, RegDeleteKeyA(key.handle, "Branch"));
  EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, apps + "\\Branch\\Child"));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegDeleteKeyA(key.handle, "NoSuchKey"));
}

TEST_F(RegistryContract, CreateMakesEveryMissingLevel) {
  Key key;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CURRENT_USER, "SOFTWARE\\Autodesk\\AutoCAD\\R1\\P\\Profiles\\<<x>>\\Variables",
                                         &key.handle));
  ASSERT_NE(nullptr, key.handle);
  EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, "SOFTWARE\\Autodesk\\AutoCAD\\R1\\P\\Profiles\\<<X>>"));
}

TEST_F(RegistryContract, DoubleByteKeyNamesRoundTrip) {
  // 嘰 ends in the byte of a backslash, 乤 in that of a lower-case letter.
  const std::string name = "配置嘰乤";
  ASSERT_EQ(std::string("\xC5\xE4\xD6\xC3\x87\x5C\x81\x61"), name);
  RegWriteString(HKEY_CURRENT_USER, std::string(kBase) + "\\" + name, "v", name);
  EXPECT_EQ(name, RegReadString(HKEY_CURRENT_USER, std::string(kBase) + "\\" + name, "v"));
  Key root;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, kBase, 0, KEY_READ, &root.handle));
  char found[256];
  DWORD size = 256;
  ASSERT_EQ(ERROR_SUCCESS, RegEnumKeyExA(root.handle, 0, found, &size, nullptr, nullptr, nullptr, nullptr));
  EXPECT_EQ(name, std::string(found));
}

TEST_F(RegistryContract, RegFixturesLoadKeysValuesAndDeletions) {
  LoadRegText(
      "Windows Registry Editor Version 5.00\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Autodesk\\AutoCAD\\R18.0\\ACAD-8001:804]\r\n"
      "\"ProductName\"=\"AutoCAD 2010 - 简体中文\"\r\n"
      "\"Number\"=dword:0000002a\r\n"
      "\"Bytes\"=hex:01,02,\\\r\n  ff\r\n"
      "\"Quoted\"=\"a \\\"b\\\" c\\\\d\"\r\n"
      "\"Gone\"=\"x\"\r\n"
      "\"Gone\"=-\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Autodesk\\AutoCAD\\Old\\Deep]\r\n"
      "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Autodesk\\AutoCAD\\Old]\r\n");
  const std::string key = std::string(kBase) + "\\R18.0\\ACAD-8001:804";
  EXPECT_EQ(std::string("AutoCAD 2010 - 简体中文"), RegReadString(HKEY_LOCAL_MACHINE, key, "ProductName"));
  EXPECT_EQ(std::string("\x2a\0\0\0", 4), RegRead(HKEY_LOCAL_MACHINE, key, "Number")->bytes);
  EXPECT_EQ(std::string("\x01\x02\xff"), RegRead(HKEY_LOCAL_MACHINE, key, "Bytes")->bytes);
  EXPECT_EQ("a \"b\" c\\d", RegReadString(HKEY_LOCAL_MACHINE, key, "Quoted"));
  EXPECT_FALSE(RegRead(HKEY_LOCAL_MACHINE, key, "Gone"));
  EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, std::string(kBase) + "\\Old"));
}

}  // namespace
