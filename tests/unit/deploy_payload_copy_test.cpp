// The payload copy in both worlds: routing, flat copy, progress steps, the
// entry cap, attributes, the settings folder, the download mark, long paths.
#include "deploy_test_support.h"
#include "payload_copier.h"

namespace {

class PayloadCopy : public PayloadMachine {
 protected:
  bool Copy(const std::string& targetFolder = "") {
    CPayloadCopier copier(targetFolder.empty() ? target.c_str() : targetFolder.c_str(), &progress);
    return copier.CopyPayload();
  }
  bool ReadOnly(const std::string& path) { return GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY; }
};

TEST_F(PayloadCopy, NamesAreRoutedWithoutRegardToCase) {
  const std::string appData = sandbox.Path("Roaming");
  MakeFolders(appData);
  ASSERT_TRUE(SetEnvironmentVariableA("APPDATA", appData.c_str()));
  AddPayload({"setup.exe", "tavrin_en.shx", "TAVRIN_HZ.SHX", "tavrin.PRT5", "TAVRIN.INI", "a.arx", "xSetUp.EXE"});
  EXPECT_TRUE(Copy());
  EXPECT_EQ((NameList{"a.arx", "xSetUp.EXE"}), Names(target)) << "whole names only are left out";
  EXPECT_EQ(NameList{"TAVRIN.INI"}, Names(appData + "\\Tavrin")) << "under its listed name";
  EXPECT_EQ("payload TAVRIN.INI", ReadTestFile(appData + "\\Tavrin\\TAVRIN.INI"));
  EXPECT_EQ(10, progress.GetPos()) << "9 entries and the fetch that finds no more";
}

TEST_F(PayloadCopy, CopyIsFlatAndStepsOncePerEntryPlusOne) {
  AddPayload({"a.arx", "b.dll"});
  MakeFolders(data + "\\extra");
  WriteTestFile(data + "\\extra\\c.txt", "c");
  SetFileAttributesA((data + "\\extra").c_str(), FILE_ATTRIBUTE_READONLY);  // still a folder
  EXPECT_TRUE(Copy());
  EXPECT_EQ((NameList{"a.arx", "b.dll"}), Names(target));
  EXPECT_EQ(6, progress.GetPos()) << ".  ..  a.arx  b.dll  extra  and the final fetch";
}

TEST_F(PayloadCopy, TargetEndingInADoubleByteCharacterKeepsItsTrailByte) {
  // 蘚 is CC 5C in code page 936: its trail byte has the value of a backslash.
  const std::string dbcsTarget = sandbox.Path("插件蘚");
  ASSERT_TRUE(CreateDirectoryA(dbcsTarget.c_str(), nullptr));
  AddPayload({"a.arx"});
  EXPECT_TRUE(Copy(dbcsTarget));
  EXPECT_EQ(NameList{"a.arx"}, Names(dbcsTarget));
}

TEST_F(PayloadCopy, AtMost101EntriesAreExamined) {
  for (int i = 0; i < 148; ++i) WriteTestFile(data + "\\f" + std::to_string(1000 + i), "x");
  NameList listed = Names(data, false);
  EXPECT_TRUE(Copy()) << "the entries past the cap are left out silently";
  EXPECT_EQ(101, progress.GetPos());
  // "." and ".." are two of the 101: the first 99 files listed are copied.
  listed.resize(99);
  std::sort(listed.begin(), listed.end());
  EXPECT_EQ(listed, Names(target));
}

TEST_F(PayloadCopy, ReadOnlyBitLeavesTheSourceAndNeverReachesTheCopy) {
  AddPayload({"a.arx", "b.dll"});
  ASSERT_TRUE(SetFileAttributesA((data + "\\a.arx").c_str(), FILE_ATTRIBUTE_READONLY));
  WriteTestFile(target + "\\B.DLL", "old");
  ASSERT_TRUE(SetFileAttributesA((target + "\\B.DLL").c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_TRUE(Copy());
  EXPECT_FALSE(ReadOnly(data + "\\a.arx")) << "the payload file itself loses the bit";
  EXPECT_FALSE(ReadOnly(target + "\\a.arx"));
  EXPECT_EQ("payload b.dll", ReadTestFile(target + "\\b.dll")) << "a read-only destination is overwritten";
  EXPECT_FALSE(ReadOnly(target + "\\b.dll"));
}

TEST_F(PayloadCopy, SettingsGoToTheCurrentDrivesRootWhenAppDataIsUnsetOrTooLong) {
  const std::string settings = sandbox.Root().substr(0, 2) + "\\Tavrin";
  ASSERT_TRUE(SetCurrentDirectoryA(sandbox.Root().c_str()));
  AddPayload({"Tavrin.Ini"});
  const std::string tooLong = sandbox.Path(std::string(270, 'r'));
  for (const char* appData : {static_cast<const char*>(nullptr), tooLong.c_str()}) {
    RemoveTree(settings);
    ASSERT_TRUE(SetEnvironmentVariableA("APPDATA", appData));
    EXPECT_TRUE(Copy());
    EXPECT_EQ("payload Tavrin.Ini", ReadTestFile(settings + "\\Tavrin.Ini")) << (appData ? "too long" : "unset");
  }
  RemoveTree(settings);
}

TEST_F(PayloadCopy, MissingPayloadStopsBeforeAnythingIsCreatedOrStepped) {
  RemoveTree(data);
  BoxRecorder boxes;
  EXPECT_FALSE(Copy(sandbox.Path("fresh")));
  ASSERT_EQ(1u, boxes.boxes.size());
  EXPECT_EQ(kDataFolderMissingText, boxes.boxes[0].text);
  EXPECT_FALSE(PathExists(sandbox.Path("fresh")));
  EXPECT_EQ(0, progress.GetPos());
}

TEST_F(PayloadCopy, DownloadMarkLeavesThePayloadFileBeforeItIsCopied) {
  AddPayload({"a.arx"});
  WriteTestFile(data + "\\a.arx:Zone.Identifier", "[ZoneTransfer]\r\nZoneId=3\r\n");
  // Under Wine the mark is an ordinary file named with a colon, which the
  // listing yields as an entry of its own (on Windows and in the emulation
  // it is a stream that no listing shows). That entry adds a step, and its
  // copy either fails, when a.arx's turn has deleted it (answered Ignore
  // here), or puts a file of that name into the target. So this test counts
  // neither steps nor target files; the host-only one does.
  BoxRecorder boxes({IDIGNORE});
  EXPECT_TRUE(Copy());
  EXPECT_FALSE(PathExists(data + "\\a.arx:Zone.Identifier"));
  EXPECT_EQ("payload a.arx", ReadTestFile(target + "\\a.arx"));
  for (const BoxRecorder::Box& box : boxes.boxes)
    EXPECT_EQ(CopyFailedText(target + "\\a.arx:Zone.Identifier"), box.text) << "only Wine's mark entry may fail";
  EXPECT_FALSE(CPayloadCopier::RemoveZoneIdentifier((data + "\\a.arx").c_str())) << "no mark left to remove";
}

TEST_F(PayloadCopy, PathTooLongForItsBufferIsReportedNotCut) {
  // Below a target of 240 characters "a.arx" fits, the long name does not
  // (cut, it would create "a_rather_long_module_name_" there).
  std::string longTarget = sandbox.Root() + "\\";
  longTarget += std::string(240 - longTarget.size(), 't');
  MakeFolders(longTarget);
  AddPayload({"a.arx", "a_rather_long_module_name_xy.dll"});
  BoxRecorder boxes({IDIGNORE});
  EXPECT_TRUE(Copy(longTarget));
  ASSERT_EQ(1u, boxes.boxes.size());
  EXPECT_EQ(CopyFailedText(longTarget + "\\a_rather_long_module_name_xy.dll"), boxes.boxes[0].text);
  EXPECT_EQ(NameList{"a.arx"}, Names(longTarget));
}

}  // namespace
