// The deployment against real processes under Wine: AutoCAD found by its
// process name, and a destination held open by a running program.
#include <memory>

#include "../unit/deploy_test_support.h"
#include "payload_copier.h"
#include "pre_install_checks.h"
#include "test_processes.h"

namespace {

TEST(AcadRunningWine, NameContainingAcadExeCounts) {
  Sandbox sandbox;
  EXPECT_FALSE(IsAcadRunning()) << "no AutoCAD before the test starts one";
  const std::pair<const char*, bool> kCases[] = {
      {"acad.exe", true}, {"ACAD.EXE", true}, {"xacad.exe", true}, {"acad", false}, {"notepad.exe", false}};
  for (const auto& [name, running] : kCases) {
    TestProcess process(sandbox.Root(), name);
    EXPECT_EQ(running, IsAcadRunning()) << name;
  }
}

class HeldDestination : public PayloadMachine {
 protected:
  HeldDestination() {
    AddPayload({"a.arx", "b.dll"});
    WriteTestFile(target + "\\a.arx", "old");
    holder = std::make_unique<TestProcess>(sandbox.Root(), "holder.exe", target + "\\a.arx");
  }
  bool Copy() { return CPayloadCopier(target.c_str(), &progress).CopyPayload(); }
  std::string Ended(std::string file) {
    holder.reset();
    return ReadTestFile(target + "\\" + file).value_or("(none)");
  }
  std::unique_ptr<TestProcess> holder;
};

TEST_F(HeldDestination, RetryWhileHeldAsksAgainAndSucceedsOnceReleased) {
  BoxRecorder boxes({IDRETRY, IDRETRY});
  boxes.onBox = [&](size_t shown) {
    if (shown == 2) holder.reset();  // the program ends while the second box is open
  };
  EXPECT_TRUE(Copy());
  ASSERT_EQ(2u, boxes.boxes.size());
  EXPECT_EQ(CopyFailedText(target + "\\a.arx"), boxes.boxes[1].text);
  EXPECT_EQ("payload a.arx", Ended("a.arx"));
}

TEST_F(HeldDestination, IgnoreLeavesTheOldFileAndAbortStops) {
  {
    BoxRecorder boxes({IDIGNORE});
    EXPECT_TRUE(Copy());
    EXPECT_EQ(1u, boxes.boxes.size());
  }
  BoxRecorder boxes({IDABORT});
  EXPECT_FALSE(Copy());
  EXPECT_EQ("payload b.dll", Ended("b.dll"));
  EXPECT_EQ("old", Ended("a.arx"));
}

}  // namespace
