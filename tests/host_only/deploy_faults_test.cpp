// The deployment under what only the emulation can arrange: process lists,
// failing searches, copies and boxes, and counters of calls not made.
#include "../unit/deploy_test_support.h"
#include "acad_inventory.h"
#include "host_test_api.h"
#include "payload_copier.h"
#include "pre_install_checks.h"

namespace {

TEST(AcadRunningHost, NameContainsAcadExeInAnyCaseAndAnUnreadableListIsNoAcad) {
  Sandbox sandbox;
  for (const char* name : {"ACAD.EXE", "xacad.exe", "Acad.exe.old"}) {
    host::SetProcesses({"System", name});
    EXPECT_TRUE(IsAcadRunning()) << name;
  }
  host::SetProcesses({"acad", "notepad.exe", "acad.ex"});
  EXPECT_FALSE(IsAcadRunning());
  host::SetProcesses({"acad.exe"});
  host::FailCalls("CreateToolhelp32Snapshot", ERROR_ACCESS_DENIED);
  EXPECT_FALSE(IsAcadRunning());
  host::FailCalls("Process32First", ERROR_ACCESS_DENIED);
  EXPECT_FALSE(IsAcadRunning());
}

class PayloadCopyHost : public PayloadMachine {
 protected:
  bool Copy() { return CPayloadCopier(target.c_str(), &progress).CopyPayload(); }
};

TEST_F(PayloadCopyHost, PayloadThatCannotBeListedStopsTheInstall) {
  AddPayload({"a.arx"});
  // The first search is FindDataFolder's look at Data; the second lists it.
  host::FailCalls("FindFirstFileA", ERROR_ACCESS_DENIED, 1, 1);
  BoxRecorder boxes;
  EXPECT_FALSE(Copy()) << "nothing was copied, so nothing may be registered";
  ASSERT_EQ(1u, boxes.boxes.size());
  EXPECT_EQ(kDataFolderMissingText, boxes.boxes[0].text);
  EXPECT_EQ(kCaption, boxes.boxes[0].caption);
  EXPECT_EQ(NameList{}, Names(target));
  EXPECT_EQ(0, progress.GetPos()) << "no entry is taken from a failed search";
}

TEST_F(PayloadCopyHost, SharingViolationRetriedThenCopiedIgnoredOrAborted) {
  AddPayload({"a.arx", "b.dll", "c.dll"});
  WriteTestFile(target + "\\b.dll", "old");
  host::FailCalls("CopyFileA", ERROR_SHARING_VIOLATION, 1, 2);  // b.dll, second in the emulation's listing
  {
    BoxRecorder boxes({IDRETRY, IDRETRY});
    EXPECT_TRUE(Copy());
    EXPECT_EQ(2u, boxes.boxes.size()) << "shown again while the file is still held";
    EXPECT_EQ("payload b.dll", ReadTestFile(target + "\\b.dll"));
  }
  WriteTestFile(target + "\\b.dll", "old");
  host::FailCalls("CopyFileA", ERROR_SHARING_VIOLATION, 1, 1);
  {
    BoxRecorder boxes({IDIGNORE});
    EXPECT_TRUE(Copy());
    EXPECT_EQ("old", ReadTestFile(target + "\\b.dll"));
    EXPECT_EQ(12, progress.GetPos()) << "twice 5 entries and the final fetch";
  }
  RemoveTree(target);
  host::FailCalls("CopyFileA", ERROR_SHARING_VIOLATION, 1, 1);
  AfxSetModalOwner(reinterpret_cast<HWND>(static_cast<uintptr_t>(0x4242)));
  BoxRecorder boxes({IDABORT});
  EXPECT_FALSE(CPayloadCopier((target + "\\").c_str(), &progress).CopyPayload());
  ASSERT_EQ(1u, boxes.boxes.size());
  EXPECT_EQ(CopyFailedText(target + "\\b.dll"), boxes.boxes[0].text) << "one trailing backslash is dropped";
  EXPECT_EQ(kCaption, boxes.boxes[0].caption);
  EXPECT_EQ(static_cast<UINT>(MB_ABORTRETRYIGNORE), boxes.boxes[0].style);
  EXPECT_EQ(AfxGetModalOwner(), boxes.boxes[0].owner);
  EXPECT_EQ(NameList{"a.arx"}, Names(target)) << "a.arx stays, c.dll is never reached";
  EXPECT_EQ(12 + 4, progress.GetPos()) << "., .., a.arx, b.dll and no step after Abort";
  EXPECT_EQ(0, host::OpenSearchHandleCount()) << "the search is closed";
}

TEST_F(PayloadCopyHost, BoxThatCannotBeShownEndsTheCopyInsteadOfRetryingForever) {
  AddPayload({"a.arx", "b.dll"});
  host::FailCalls("CopyFileA", ERROR_SHARING_VIOLATION, 0, 1000);
  host::FailCalls("MessageBoxA", ERROR_NOT_ENOUGH_MEMORY, 0, 1000);
  EXPECT_FALSE(Copy());
  EXPECT_EQ(NameList{}, Names(target));
}

TEST_F(PayloadCopyHost, DownloadMarkIsRemovedFromThePayloadAndNotCarriedByTheCopy) {
  // Here the mark is a stream, as on NTFS: no listing shows it, and a copy
  // carries its source's stream.
  AddPayload({"a.arx"});
  WriteTestFile(data + "\\a.arx:Zone.Identifier", "[ZoneTransfer]\r\nZoneId=3\r\n");
  EXPECT_TRUE(Copy());
  EXPECT_FALSE(PathExists(data + "\\a.arx:Zone.Identifier"));
  EXPECT_FALSE(PathExists(target + "\\a.arx:Zone.Identifier"));
  EXPECT_EQ(4, progress.GetPos());
}

TEST_F(PayloadMachine, NoReleaseChosenLooksForNothing) {
  CAcadInventory inventory;
  inventory.m_aInstallFolders[3].Add(sandbox.Root().c_str());
  int before = host::FileSystemCallCount();
  inventory.InstallSupportFiles(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  EXPECT_EQ(before, host::FileSystemCallCount()) << "FindDataFolder was not called, nothing was copied";
  inventory.InstallSupportFiles(0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  EXPECT_LT(before, host::FileSystemCallCount()) << "the counter sees a chosen release's calls";
}

}  // namespace
