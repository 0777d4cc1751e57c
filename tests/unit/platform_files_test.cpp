// The file-system contracts the program relies on, in both worlds.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "sandbox.h"

namespace {

std::vector<std::string> List(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((folder + "\\*.*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return names;
  do names.push_back(entry.cFileName);
  while (FindNextFileA(search, &entry));
  FindClose(search);
  return names;
}

class FileContract : public testing::Test {
 protected:
  Sandbox sandbox;
};

TEST_F(FileContract, ListingShowsDotEntriesFirstThenEveryFileAndFolder) {
  WriteTestFile(sandbox.Path("b.dll"), "b");
  WriteTestFile(sandbox.Path("A.arx"), "a");
  MakeFolders(sandbox.Path("extra"));
  std::vector<std::string> names = List(sandbox.Root());
  ASSERT_EQ(5u, names.size());
  EXPECT_EQ(".", names[0]);
  EXPECT_EQ("..", names[1]);
  std::sort(names.begin() + 2, names.end());
  EXPECT_EQ((std::vector<std::string>{".", "..", "A.arx", "b.dll", "extra"}), names);
}

TEST_F(FileContract, FindOnAPlainPathTellsFileFromFolder) {
  WriteTestFile(sandbox.Path("file"), "x");
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA(sandbox.Path("FILE").c_str(), &entry);
  ASSERT_NE(INVALID_HANDLE_VALUE, search);
  EXPECT_EQ(0u, entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
  FindClose(search);
  search = FindFirstFileA(sandbox.Root().c_str(), &entry);
  ASSERT_NE(INVALID_HANDLE_VALUE, search);
  EXPECT_NE(0u, entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
  FindClose(search);
  EXPECT_EQ(INVALID_HANDLE_VALUE, FindFirstFileA(sandbox.Path("missing").c_str(), &entry));
  EXPECT_EQ(INVALID_HANDLE_VALUE, FindFirstFileA((sandbox.Root() + "\\").c_str(), &entry))
      << "a trailing backslash finds nothing";
}

TEST_F(FileContract, CopyReplacesAnExistingFileFoundWithoutCase) {
  WriteTestFile(sandbox.Path("new.txt"), "new");
  WriteTestFile(sandbox.Path("Target.TXT"), "old");
  ASSERT_TRUE(CopyFileA(sandbox.Path("NEW.txt").c_str(), sandbox.Path("target.txt").c_str(), FALSE));
  EXPECT_EQ("new", ReadTestFile(sandbox.Path("Target.TXT")));
  std::vector<std::string> names = List(sandbox.Root());
  EXPECT_NE(names.end(), std::find(names.begin(), names.end(), "Target.TXT")) << "the existing name is kept";
  EXPECT_FALSE(CopyFileA(sandbox.Path("missing").c_str(), sandbox.Path("x").c_str(), FALSE));
  EXPECT_FALSE(CopyFileA(sandbox.Path("new.txt").c_str(), sandbox.Path("no\\such\\folder.txt").c_str(), FALSE));
}

TEST_F(FileContract, ReadOnlyDestinationRefusesACopyAndTheCopyCarriesTheAttribute) {
  WriteTestFile(sandbox.Path("src"), "new");
  WriteTestFile(sandbox.Path("dst"), "old");
  ASSERT_TRUE(SetFileAttributesA(sandbox.Path("dst").c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(CopyFileA(sandbox.Path("src").c_str(), sandbox.Path("dst").c_str(), FALSE));
  EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
  EXPECT_EQ("old", ReadTestFile(sandbox.Path("dst")));

  ASSERT_TRUE(SetFileAttributesA(sandbox.Path("src").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(CopyFileA(sandbox.Path("src").c_str(), sandbox.Path("copy").c_str(), FALSE));
  DWORD attributes = GetFileAttributesA(sandbox.Path("copy").c_str());
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_READONLY) << std::hex << attributes;
  EXPECT_FALSE(DeleteFileA(sandbox.Path("copy").c_str())) << "a read-only file is not deleted";
}

TEST_F(FileContract, AttributesChangeBitByBit) {
  WriteTestFile(sandbox.Path("f"), "x");
  // Hidden first: Wine keeps the hidden bit in an extended attribute, which
  // it cannot write once the file is read-only (both bits in one call lose
  // the hidden one under Wine; Windows keeps both either way).
  ASSERT_TRUE(SetFileAttributesA(sandbox.Path("f").c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(SetFileAttributesA(sandbox.Path("f").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
  DWORD attributes = GetFileAttributesA(sandbox.Path("f").c_str());
  ASSERT_TRUE(SetFileAttributesA(sandbox.Path("f").c_str(), attributes & ~FILE_ATTRIBUTE_READONLY));
  attributes = GetFileAttributesA(sandbox.Path("f").c_str());
  EXPECT_FALSE(attributes & FILE_ATTRIBUTE_READONLY);
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(sandbox.Path("missing").c_str()));
}

TEST_F(FileContract, DownloadMarkStreamIsDeletedOnlyWhenPresent) {
  WriteTestFile(sandbox.Path("a.arx"), "a");
  EXPECT_FALSE(DeleteFileA(sandbox.Path("a.arx:Zone.Identifier").c_str()));
  WriteTestFile(sandbox.Path("a.arx:Zone.Identifier"), "[ZoneTransfer]\r\nZoneId=3\r\n");
  EXPECT_TRUE(DeleteFileA(sandbox.Path("a.arx:Zone.Identifier").c_str()));
  EXPECT_FALSE(DeleteFileA(sandbox.Path("a.arx:Zone.Identifier").c_str()));
  EXPECT_EQ("a", ReadTestFile(sandbox.Path("a.arx"))) << "the file itself stays";
}

TEST_F(FileContract, FolderCreationAndExistence) {
  EXPECT_TRUE(CreateDirectoryA(sandbox.Path("one").c_str(), nullptr));
  EXPECT_FALSE(CreateDirectoryA(sandbox.Path("ONE").c_str(), nullptr));
  EXPECT_EQ(static_cast<DWORD>(ERROR_ALREADY_EXISTS), GetLastError());
  EXPECT_FALSE(CreateDirectoryA(sandbox.Path("two\\three").c_str(), nullptr));
  EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());
  EXPECT_EQ(-1, _mkdir(sandbox.Path("two\\three").c_str()));
  EXPECT_EQ(0, _mkdir(sandbox.Path("two").c_str()));
  EXPECT_EQ(0, _access(sandbox.Path("TWO").c_str(), 0));
  WriteTestFile(sandbox.Path("two\\file"), "");
  EXPECT_EQ(0, _access(sandbox.Path("two\\file").c_str(), 0));
  EXPECT_EQ(-1, _access(sandbox.Path("two\\nothing").c_str(), 0));
  EXPECT_EQ(0, _access(sandbox.Path("two\\CON").c_str(), 0)) << "device names answer as present";
}

TEST_F(FileContract, EnvironmentValueThatDoesNotFitLeavesTheBufferAlone) {
  ASSERT_TRUE(SetEnvironmentVariableA("APPDATA", "C:\\Users\\u\\AppData\\Roaming"));
  char small[8] = "";
  EXPECT_EQ(27u, GetEnvironmentVariableA("APPDATA", small, sizeof small));
  EXPECT_STREQ("", small);
  char large[260] = "";
  EXPECT_EQ(26u, GetEnvironmentVariableA("appdata", large, sizeof large));
  EXPECT_STREQ("C:\\Users\\u\\AppData\\Roaming", large);
  ASSERT_TRUE(SetEnvironmentVariableA("APPDATA", nullptr));
  EXPECT_EQ(0u, GetEnvironmentVariableA("APPDATA", large, sizeof large));
}

TEST_F(FileContract, CurrentDirectoryAndProgramPathSeam) {
  ASSERT_TRUE(SetCurrentDirectoryA(sandbox.Root().c_str()));
  char cwd[MAX_PATH];
  ASSERT_GT(GetCurrentDirectoryA(MAX_PATH, cwd), 0u);
  EXPECT_EQ(0, CString(cwd).CompareNoCase(sandbox.Root().c_str()));

  SeamSetProgramPath("C:\\Setup\\SetUp.exe");
  char path[261];
  EXPECT_EQ(18u, GetModuleFileNameA(nullptr, path, 261));
  EXPECT_STREQ("C:\\Setup\\SetUp.exe", path);
  EXPECT_EQ(8u, GetModuleFileNameA(nullptr, path, 8)) << "cut to the buffer, size reported";
  EXPECT_STREQ("C:\\Setu", path);
}

TEST_F(FileContract, ProgressControlWrapsOnStepAndClampsOnSetPos) {
  HWND bar = CreateTestProgressBar();
  SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 50));
  SendMessageA(bar, PBM_SETSTEP, 1, 0);
  SendMessageA(bar, PBM_SETPOS, 48, 0);
  SendMessageA(bar, PBM_STEPIT, 0, 0);
  EXPECT_EQ(49, SendMessageA(bar, PBM_GETPOS, 0, 0));
  SendMessageA(bar, PBM_STEPIT, 0, 0);
  SendMessageA(bar, PBM_STEPIT, 0, 0);
  EXPECT_EQ(1, SendMessageA(bar, PBM_GETPOS, 0, 0)) << "51 wraps to (51 - 0) % 50 + 0";
  SendMessageA(bar, PBM_SETPOS, 80, 0);
  EXPECT_EQ(50, SendMessageA(bar, PBM_GETPOS, 0, 0));
  DestroyTestProgressBar(bar);
}

TEST_F(FileContract, MessageBoxesGoToTheInstalledAnswerer) {
  std::string seen;
  SeamSetMessageBoxAnswerer([&](const MessageBoxCall& call) {
    seen = std::string(call.caption) + "|" + call.text + "|" + std::to_string(call.style);
    return IDRETRY;
  });
  EXPECT_EQ(IDRETRY, MessageBoxA(nullptr, "text", "caption", MB_ABORTRETRYIGNORE));
  EXPECT_EQ("caption|text|2", seen);
}

}  // namespace
