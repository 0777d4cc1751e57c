// The form of a typed folder path, checked without touching the disk, in
// both worlds: drive letters, separators, name rules, device names and
// lengths, byte by byte in code page 936.
#include <gtest/gtest.h>

#include <string>

#include "folder_check.h"
#include "sandbox.h"

namespace {

struct PathCase {
  const char* path;
  FolderCheckResult expected;
  const char* why;
};

const PathCase kPaths[] = {
    {"C:\\", FolderOk, "a drive root"},
    {"c:\\", FolderOk, "a lower-case drive root"},
    {"Q:\\", FolderOk, "a root is not looked at in check mode"},
    {"C:\\Tavrin", FolderOk, "the default target"},
    {"d:\\x", FolderOk, "lower-case drive"},
    {"C:\\a\\b\\c", FolderOk, "several levels"},
    {"C:\\Program Files\\T-RedavIzor", FolderOk, "blanks and a hyphen inside names"},
    {"C:\\a.b\\c.d", FolderOk, "dots inside names"},
    {"C:\\批打印软件\\安装", FolderOk, "double-byte names: bytes of 128 and above"},
    {"C:\\a\tb", FolderOk, "a tab inside a name is left to the file system"},
    {"C:\\console\\COM10\\LPT0\\nul_x\\a.nul\\CONIN", FolderOk, "names that only resemble devices"},

    {"", FolderInvalid, "empty"},
    {"C", FolderInvalid, "too short"},
    {"C:", FolderInvalid, "drive without backslash"},
    {"C:a", FolderInvalid, "upper-case drive-relative path"},
    {"c:a", FolderInvalid, "lower-case drive-relative path"},
    {"C:/a", FolderInvalid, "slash after the colon"},
    {"1:\\a", FolderInvalid, "a digit is no drive letter"},
    {"\xC5\xFA:\\a", FolderInvalid, "a double-byte character is no drive letter"},
    {"\\\\server\\share", FolderInvalid, "network path"},
    {"\\Tavrin", FolderInvalid, "rooted without a drive"},
    {"Tavrin", FolderInvalid, "relative"},
    {" C:\\a", FolderInvalid, "leading blank before the drive"},
    {"CC:\\a", FolderInvalid, "two letters"},
    {"C:\\Tavrin\\", FolderInvalid, "trailing backslash"},
    {"C:\\\\a", FolderInvalid, "doubled backslash after the root"},
    {"C:\\a\\\\b", FolderInvalid, "doubled backslash inside"},
    {"C:\\ a", FolderInvalid, "leading blank"},
    {"C:\\a ", FolderInvalid, "trailing blank"},
    {"C:\\a.\\b", FolderInvalid, "trailing dot"},
    {"C:\\.git", FolderInvalid, "leading dot"},
    {"C:\\a\\.", FolderInvalid, "the folder itself"},
    {"C:\\a\\..", FolderInvalid, "the parent folder"},
    {"C:\\\ta", FolderInvalid, "leading tab"},
    {"C:\\a\t", FolderInvalid, "trailing tab"},
    {"C:\\a\"b", FolderInvalid, "quote"},
    {"C:\\a*b", FolderInvalid, "asterisk"},
    {"C:\\a/b", FolderInvalid, "slash"},
    {"C:\\a:b", FolderInvalid, "colon"},
    {"C:\\a<b", FolderInvalid, "less-than"},
    {"C:\\a>b", FolderInvalid, "greater-than"},
    {"C:\\a?b", FolderInvalid, "question mark"},
    {"C:\\a|b", FolderInvalid, "bar"},
    {"C:\\ok\\a?b\\ok", FolderInvalid, "a bad name in the middle"},

    // Device names open a device in any folder (see IsValidComponent).
    {"C:\\CON", FolderInvalid, "console"},
    {"C:\\a\\nul", FolderInvalid, "lower case"},
    {"C:\\Aux\\x", FolderInvalid, "device in the middle of the path"},
    {"C:\\prn.txt", FolderInvalid, "with an extension"},
    {"C:\\COM1.log", FolderInvalid, "serial port with an extension"},
    {"C:\\lpt9", FolderInvalid, "last printer port"},
    {"C:\\nul .txt", FolderInvalid, "blank before the dot"},
    {"C:\\Com5  .a.b", FolderInvalid, "blanks, then two extensions"},

    // Byte by byte: 嘰 is 87 5C, its trail byte a backslash; 亅 is 81 7C,
    // its trail byte a bar. The first splits the name, the second is refused.
    {"C:\\嘰", FolderInvalid, "splits into the name 87 and a trailing backslash"},
    {"C:\\嘰a", FolderOk, "splits into the names 87 and \"a\", both acceptable"},
    {"C:\\亅", FolderInvalid, "trail byte 7C is the bar"},
};

TEST(FolderForm, TableOfPathsInCheckMode) {
  for (const PathCase& c : kPaths)
    EXPECT_EQ(c.expected, CheckOrCreateFolder(c.path, 1)) << "\"" << c.path << "\": " << c.why;
  EXPECT_EQ(FolderInvalid, CheckOrCreateFolder(nullptr, 1));
}

TEST(FolderForm, SingleNames) {
  EXPECT_EQ(0, IsValidComponent(nullptr));
  EXPECT_EQ(0, IsValidComponent("a\\b")) << "a backslash inside a name";
  EXPECT_EQ(1, IsValidComponent("\x80\xFF")) << "high bytes, even not forming characters";
  for (const char* name : {"COM", "COM0", "LPTX", "xNUL", "CONIN"}) EXPECT_EQ(1, IsValidComponent(name)) << name;
}

// Names: at most 255 characters, as every Windows file system stores them;
// a double-byte character counts as one. Paths: at most 259 bytes, the
// working buffer; a longer one is refused whole, never checked cut.
TEST(FolderForm, LengthLimitsOfNamesAndPaths) {
  EXPECT_EQ(1, IsValidComponent(std::string(255, 'a').c_str()));
  EXPECT_EQ(0, IsValidComponent(std::string(256, 'a').c_str()));
  std::string wide;
  for (int i = 0; i < 200; ++i) wide += "软";
  EXPECT_EQ(1, IsValidComponent(wide.c_str())) << "200 characters in 400 bytes";

  EXPECT_EQ(FolderOk, CheckOrCreateFolder(("C:\\" + std::string(255, 'a')).c_str(), 1));
  EXPECT_EQ(FolderInvalid, CheckOrCreateFolder(("C:\\" + std::string(256, 'a')).c_str(), 1)) << "259 bytes, name 256";
  std::string chinese = "C:\\";
  for (int i = 0; i < 128; ++i) chinese += "软";
  ASSERT_EQ(259u, chinese.size());
  EXPECT_EQ(FolderOk, CheckOrCreateFolder(chinese.c_str(), 1)) << "128 characters in 256 bytes";

  std::string path = "C:\\";
  while (path.size() + 11 <= 259) path += std::string(10, 'n') + "\\";
  path += std::string(259 - path.size(), 'z');
  ASSERT_EQ(259u, path.size());
  EXPECT_EQ(FolderOk, CheckOrCreateFolder(path.c_str(), 1)) << "259 bytes fit the buffer";
  EXPECT_EQ(FolderInvalid, CheckOrCreateFolder((path + "z").c_str(), 1)) << "260 bytes do not";
  // Cut at 259 bytes this one would end in a valid name; whole, its last
  // name has a bar in it.
  EXPECT_EQ(FolderInvalid, CheckOrCreateFolder((path + "|").c_str(), 1));
  EXPECT_EQ(FolderInvalid, CheckOrCreateFolder(("C:\\" + std::string(100000, 'a')).c_str(), 1));
}

// Device names are why: the C runtime answers them as present in every
// existing folder, so without the rule the picker would accept one at once
// and the install would write into the device.
TEST(FolderForm, DeviceNamesAnswerAsPresentWhereverTheirFolderExists) {
  Sandbox sandbox;
  for (const char* device : {"nul", "CON", "nul.txt", "com1.log", "LPT3"})
    EXPECT_EQ(0, _access(sandbox.Path(device).c_str(), 0)) << device;
  EXPECT_NE(0, _access(sandbox.Path("nul-not").c_str(), 0));
}

}  // namespace
