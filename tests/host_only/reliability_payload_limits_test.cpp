// The payload copy with paths just below, at and above the 259 characters of
// its path buffers: each path is used exactly when it fits, never cut.
#include "../unit/deploy_test_support.h"
#include "payload_copier.h"
#include "reliability_support.h"

namespace {

using reliability::DiskTree;
using reliability::Named;

// Source, destination, listing pattern, target folder, download mark and the
// APPDATA settings folder. The disk is listed from the Linux side, so that a
// file or folder made at a cut path would show.
class PayloadLimits : public PayloadMachine {
 protected:
  bool Copy(const std::string& folder) { return CPayloadCopier(folder.c_str(), &progress).CopyPayload(); }

  // parent\<tag, filled> with exactly length characters.
  static std::string LongPath(const std::string& parent, const std::string& tag, size_t length) {
    return parent + "\\" + Named(tag, length - parent.size() - 1);
  }
  // Below the sandbox, whatever the length.
  std::string Relative(const std::string& path) const { return path.substr(sandbox.Root().size() + 1); }
  void MakeAnyFolder(const std::string& path) { reliability::MakeDiskFolders(sandbox.Root(), Relative(path)); }
  void WriteAnyFile(const std::string& path, const std::string& content) {
    reliability::WriteDiskFile(sandbox.Root(), Relative(path), content);
  }
  // A payload folder "Data" of exactly length characters, beside a program
  // named "s" so that the program path stays short.
  std::string UseLongPayload(size_t length) {
    const std::string parent = LongPath(sandbox.Path("lp" + std::to_string(length)), "pkg-", length - 5);
    MakeAnyFolder(parent + "\\Data");
    SeamSetProgramPath((parent + "\\s").c_str());
    return parent + "\\Data";
  }
};

// Destination: the target folder (200 characters), a backslash and the name.
TEST_F(PayloadLimits, DestinationIsCopiedToExactlyWhenItFits) {
  const std::string longTarget = LongPath(sandbox.Path("tl"), "target-", 200);
  MakeFolders(longTarget);
  const std::string to258 = Named("to258-", 57), to259 = Named("to259-", 58), to260 = Named("to260-", 59);
  AddPayload({to258, to259, to260});
  BoxRecorder boxes({IDIGNORE});
  EXPECT_TRUE(Copy(longTarget));
  ASSERT_EQ(1u, boxes.boxes.size());
  EXPECT_EQ(CopyFailedText(longTarget + "\\" + to260), boxes.boxes[0].text) << "reported with the whole path";
  EXPECT_EQ((NameList{to258, to259}), DiskTree(longTarget));
}

// Source: a payload folder of 200 characters, a backslash and the name.
TEST_F(PayloadLimits, SourceIsCopiedFromExactlyWhenItFits) {
  const std::string payload = UseLongPayload(200);
  const std::string from258 = Named("from258-", 57), from259 = Named("from259-", 58), from260 = Named("from260-", 59);
  for (const std::string& name : {from258, from259, from260}) WriteAnyFile(payload + "\\" + name, "payload " + name);
  BoxRecorder boxes({IDIGNORE});
  EXPECT_TRUE(Copy(target));
  ASSERT_EQ(1u, boxes.boxes.size());
  EXPECT_EQ(CopyFailedText(target + "\\" + from260), boxes.boxes[0].text);
  EXPECT_EQ((NameList{from258, from259}), DiskTree(target));
  EXPECT_EQ("payload " + from259, ReadTestFile(target + "\\" + from259));
}

// The mark's stream path is the source path plus ":Zone.Identifier" (16
// characters). When it does not fit, the mark is not removed; on Windows
// DeleteFileA could not take that path either. The copy then carries the
// mark, as a copy on NTFS carries its source's streams.
TEST_F(PayloadLimits, DownloadMarkIsRemovedExactlyWhenItsStreamPathFits) {
  const std::string payload = UseLongPayload(200);
  const std::string mark258 = Named("mark258-", 41), mark259 = Named("mark259-", 42), mark260 = Named("mark260-", 43);
  for (const std::string& name : {mark258, mark259, mark260}) {
    WriteAnyFile(payload + "\\" + name, "payload");
    WriteAnyFile(payload + "\\" + name + ":Zone.Identifier", "[ZoneTransfer]\r\nZoneId=3\r\n");
  }
  // The stream that a path cut to 259 characters would name.
  WriteAnyFile(payload + "\\" + mark260 + ":Zone.Identifie", "");
  EXPECT_TRUE(Copy(target));
  EXPECT_EQ((NameList{mark258, mark259, mark260, mark260 + ":Zone.Identifie", mark260 + ":Zone.Identifier"}),
            DiskTree(payload));
  EXPECT_EQ((NameList{mark258, mark259, mark260, mark260 + ":Zone.Identifier"}), DiskTree(target));
}

// The listing pattern is the payload folder plus "\*.*". A payload folder
// that can be found but not listed stops the install as a missing one does.
// Its one file "a" keeps the source path within the limit.
TEST_F(PayloadLimits, PayloadIsListedExactlyWhenItsPatternFits) {
  const struct {
    size_t payloadLength;  // pattern: 4 more
    bool copied;
    NameList names;
    size_t boxes;
  } rows[] = {
      {254, true, {"a"}, 0},
      {255, true, {"a"}, 0},
      {256, false, {}, 1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.payloadLength);
    WriteAnyFile(UseLongPayload(row.payloadLength) + "\\a", "payload");
    const std::string folder = sandbox.Path("pattern" + std::to_string(row.payloadLength));
    MakeFolders(folder);
    BoxRecorder boxes;
    EXPECT_EQ(row.copied, Copy(folder));
    EXPECT_EQ(row.names, DiskTree(folder));
    ASSERT_EQ(row.boxes, boxes.boxes.size());
    if (row.boxes != 0) {
      EXPECT_EQ(kDataFolderMissingText, boxes.boxes[0].text);
    }
  }
}

// The target folder is made when it fits. No file fits below a target of
// 258 characters or more, so each copy is reported and ignored here.
TEST_F(PayloadLimits, TargetFolderIsMadeExactlyWhenItFits) {
  AddPayload({"a.arx"});
  const std::string parent = sandbox.Path("targets");
  MakeFolders(parent);
  BoxRecorder boxes({IDIGNORE, IDIGNORE, IDIGNORE});
  NameList made;
  for (size_t length : {258, 259, 260}) {
    const std::string folder = LongPath(parent, "t" + std::to_string(length) + "-", length);
    EXPECT_TRUE(Copy(folder)) << length;
    if (length <= 259) made.push_back(folder.substr(parent.size() + 1));
  }
  EXPECT_EQ(3u, boxes.boxes.size());
  EXPECT_EQ(made, DiskTree(parent)) << "no folder at the 260-character path cut to 259";
}

// The settings file: APPDATA is read whole when it has at most 259
// characters; "%s\Tavrin" (7 more) is made when it fits; the destination
// adds "\Tavrin.Ini" (11 more). A value too long to read counts as empty,
// and the file goes to "\Tavrin" at the root of the current drive.
TEST_F(PayloadLimits, SettingsFolderAndFileAreUsedExactlyWhenTheyFit) {
  AddPayload({"Tavrin.Ini"});
  const std::string driveRootSettings = "C:\\Tavrin\\Tavrin.Ini";
  const struct {
    size_t appDataLength;
    bool folderMade;
    bool fileCopied;
    bool reported;
  } rows[] = {
      {240, true, true, false},  {241, true, true, false},   {242, true, false, true},
      {252, true, false, true},  {253, false, false, true},  {259, false, false, true},
      {260, false, false, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.appDataLength);
    const std::string parent = sandbox.Path("A" + std::to_string(row.appDataLength));
    const std::string appData = LongPath(parent, "appdata-", row.appDataLength);
    MakeAnyFolder(appData);
    ASSERT_TRUE(SetEnvironmentVariableA("APPDATA", appData.c_str()));
    BoxRecorder boxes({IDIGNORE});
    EXPECT_TRUE(Copy(target));

    const std::string name = appData.substr(parent.size() + 1);
    NameList expected = {name};
    if (row.folderMade) expected.push_back(name + "\\Tavrin");
    if (row.fileCopied) expected.push_back(name + "\\Tavrin\\Tavrin.Ini");
    EXPECT_EQ(expected, DiskTree(parent));
    ASSERT_EQ(row.reported ? 1u : 0u, boxes.boxes.size());
    if (row.reported) {
      EXPECT_EQ(CopyFailedText(appData + "\\Tavrin\\Tavrin.Ini"), boxes.boxes[0].text);
    }
    EXPECT_EQ(row.appDataLength > 259, PathExists(driveRootSettings));
  }
}

}  // namespace
