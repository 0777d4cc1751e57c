// Where the payload is found, what lies at a path, and the read-only bit:
// the pre-install checks in both worlds.
#include "deploy_test_support.h"
#include "pre_install_checks.h"

namespace {

class DataFolder : public PayloadMachine {
 protected:
  // FindDataFolder for a program at programPath.
  bool Find(const std::string& programPath) {
    SeamSetProgramPath(programPath.c_str());
    return FindDataFolder(found);
  }
  CString found;
  BoxRecorder boxes;
};

TEST_F(DataFolder, DataBesideTheProgramWinsAndTheCurrentDirectoryPlaysNoPart) {
  WriteTestFile(setupFolder + "\\TR_RedavIzor2010.arx", "marker");
  MakeFolders(sandbox.Path("bare"));
  ASSERT_TRUE(SetCurrentDirectoryA(sandbox.Path("bare").c_str()));
  EXPECT_TRUE(Find(setupFolder + "\\SetUp.exe"));
  EXPECT_EQ(data, found.str());
  // Started from a shortcut whose folder holds a payload: still not found.
  ASSERT_TRUE(SetCurrentDirectoryA(setupFolder.c_str()));
  EXPECT_FALSE(Find(sandbox.Path("bare\\SetUp.exe")));
  EXPECT_EQ(1u, boxes.boxes.size());
}

TEST_F(DataFolder, MarkerFileBesideTheProgramMakesItsFolderThePayload) {
  WriteTestFile(data + "\\TR_RedavIzor2010.arx", "marker");
  EXPECT_TRUE(Find(data + "\\SetUp.exe")) << "no folder Data\\Data, but the marker";
  EXPECT_EQ(data, found.str());
  EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(DataFolder, FileNamedDataAndFolderNamedLikeTheMarkerDoNotCount) {
  WriteTestFile(sandbox.Path("Data"), "not a folder");
  MakeFolders(sandbox.Path("TR_RedavIzor2010.arx"));
  AfxSetModalOwner(reinterpret_cast<HWND>(static_cast<uintptr_t>(0x4242)));
  EXPECT_FALSE(Find(sandbox.Path("SetUp.exe")));
  ASSERT_EQ(1u, boxes.boxes.size());
  EXPECT_EQ(kDataFolderMissingText, boxes.boxes[0].text);
  EXPECT_EQ(kCaption, boxes.boxes[0].caption);
  EXPECT_EQ(static_cast<UINT>(MB_OK), boxes.boxes[0].style);
  EXPECT_EQ(AfxGetModalOwner(), boxes.boxes[0].owner);
  EXPECT_EQ(sandbox.Path("TR_RedavIzor2010.arx"), found.str()) << "the last candidate tried";
}

TEST_F(DataFolder, ProgramPathCutByItsBufferCountsAsNotFound) {
  // GetModuleFileNameA cuts a path longer than 260 characters; the cut path
  // would still end in setupFolder\sss..., whose folder holds Data.
  EXPECT_FALSE(Find(setupFolder + "\\" + std::string(300, 's') + ".exe"));
  EXPECT_EQ(1u, boxes.boxes.size());
  std::string fitting = setupFolder + "\\" + std::string(255 - setupFolder.size(), 's') + ".exe";
  ASSERT_EQ(260u, fitting.size());
  EXPECT_TRUE(Find(fitting)) << "260 characters and the terminator fill the buffer exactly";
}

TEST(FileChecks, PathKindAndReadOnlyBit) {
  Sandbox sandbox;
  const std::string file = sandbox.Path("f.dll"), folder = sandbox.Path("folder");
  WriteTestFile(file, "x");
  MakeFolders(folder);
  // Hidden before read-only: Wine cannot add the hidden bit to a read-only file.
  for (const std::string& path : {file, folder}) {
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
  }
  EXPECT_EQ(PathFile, GetPathKind(sandbox.Path("F.DLL").c_str()));
  EXPECT_EQ(PathFolder, GetPathKind(folder.c_str()));
  EXPECT_EQ(PathMissing, GetPathKind(sandbox.Path("missing\\below").c_str()));
  ClearReadOnly(file.c_str());
  DWORD attributes = GetFileAttributesA(file.c_str());
  EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN), attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY));
  ClearReadOnly(sandbox.Path("missing").c_str());
  EXPECT_FALSE(PathExists(sandbox.Path("missing")));
}

}  // namespace
