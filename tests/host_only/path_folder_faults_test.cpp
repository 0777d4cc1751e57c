// The folder checks against the emulation's counters and injected faults:
// check mode never reaches the disk, and creation trusts only what exists.
#include <gtest/gtest.h>

#include <algorithm>

#include "folder_check.h"
#include "host_test_api.h"
#include "sandbox.h"

namespace {

TEST(FolderChecksOnTheHost, CheckModeReachesNoFileSystemOperation) {
  Sandbox sandbox;
  const int before = host::FileSystemCallCount();
  for (const char* path : {"C:\\", "Q:\\", "C:\\Tavrin", "C:\\a\\b\\c", "C:\\a\\", "C:\\nul", "x"})
    CheckOrCreateFolder(path, 1);
  CheckOrCreateFolder(sandbox.Path("missing\\deeper").c_str(), 1);
  EXPECT_EQ(before, host::FileSystemCallCount());
  EXPECT_FALSE(PathExists(sandbox.Path("missing")));
}

// CreateDirectoryA's answer is not what decides: an existing level whose
// creation is refused is fine, and a level that does not appear is not.
TEST(FolderChecksOnTheHost, ExistenceAfterTheAttemptDecides) {
  Sandbox sandbox;
  MakeFolders(sandbox.Path("a\\b"));
  host::FailCalls("CreateDirectoryA", ERROR_ACCESS_DENIED, 0, 100);
  EXPECT_EQ(FolderOk, CheckOrCreateFolder(sandbox.Path("a\\b").c_str(), 0));
  EXPECT_EQ(FolderNotCreated, CheckOrCreateFolder(sandbox.Path("a\\b\\c").c_str(), 0));
}

// Levels made before a failure stay; the user is told once.
TEST(FolderChecksOnTheHost, LevelsCreatedBeforeAFailureStay) {
  Sandbox sandbox;
  int boxes = 0;
  SeamSetMessageBoxAnswerer([&](const MessageBoxCall& call) {
    ++boxes;
    return (call.style & MB_YESNO) ? IDYES : IDOK;
  });
  // The sandbox's own levels and "a" are created, "b" is refused.
  const std::string& root = sandbox.Root();
  const int rootLevels = static_cast<int>(std::count(root.begin(), root.end(), '\\'));
  host::FailCalls("CreateDirectoryA", ERROR_ACCESS_DENIED, rootLevels + 1, 1);
  EXPECT_EQ(2, ConfirmFolder(sandbox.Path("a\\b\\c").c_str()));
  EXPECT_EQ(2, boxes) << "the question and the report";
  EXPECT_TRUE(PathExists(sandbox.Path("a")));
  EXPECT_FALSE(PathExists(sandbox.Path("a\\b")));
}

}  // namespace
