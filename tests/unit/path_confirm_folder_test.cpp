// The dialogue about a folder the user pressed OK on, in both worlds: what is
// accepted at once, what is asked, what is created and what is reported.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "folder_check.h"
#include "sandbox.h"

namespace {

const HWND kBrowser = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x5150));

std::string Question(const std::string& path) {
  return "The folder:\n\n" + path + "\n\ndoes not exist. Do you want the folder to be created?";
}
std::string Invalid(const std::string& path) { return "The folder:\n\n" + path + "\n\nis invalid. Please reenter."; }
std::string NotCreated(const std::string& path) {
  return "The folder:\n\n" + path + "\n\ncan not be created. Please double check.";
}

struct ShownBox {
  HWND owner;
  std::string text;
  std::string caption;
  UINT style;
};

class FolderDialogue : public testing::Test {
 protected:
  FolderDialogue() {
    SeamSetProgramPath("C:\\download\\SetUp.exe");
    AfxSetModalOwner(kBrowser);
    SeamSetMessageBoxAnswerer([this](const MessageBoxCall& call) {
      boxes.push_back(ShownBox{call.owner, call.text ? call.text : "", call.caption ? call.caption : "", call.style});
      if (answers.empty()) {
        ADD_FAILURE() << "unexpected box: " << boxes.back().text;
        return IDCANCEL;
      }
      int answer = answers.front();
      answers.pop_front();
      return answer;
    });
  }
  ~FolderDialogue() override {
    AfxSetModalOwner(nullptr);
    SeamSetProgramPath(nullptr);
    EXPECT_TRUE(answers.empty()) << answers.size() << " answers left: a box did not come";
  }

  // The boxes shown so far, then forgets them.
  std::vector<ShownBox> TakeBoxes() {
    std::vector<ShownBox> shown;
    shown.swap(boxes);
    return shown;
  }

  Sandbox sandbox;
  std::vector<ShownBox> boxes;
  std::deque<int> answers;
};

TEST_F(FolderDialogue, ExistingFolderOrFileIsAcceptedWithoutAQuestion) {
  WriteTestFile(sandbox.Path("a file"), "x");
  EXPECT_EQ(0, ConfirmFolder(sandbox.Root().c_str()));
  EXPECT_EQ(0, ConfirmFolder(sandbox.Path("a file").c_str())) << "any existing entry counts";
  EXPECT_EQ(0, ConfirmFolder("C:\\"));
  std::string lower = sandbox.Root();
  lower[0] = 'c';
  EXPECT_EQ(0, ConfirmFolder(lower.c_str()));
  EXPECT_TRUE(boxes.empty()) << boxes.size() << " boxes, the first: " << (boxes.empty() ? "" : boxes[0].text);
}

TEST_F(FolderDialogue, MissingLevelsAreCreatedFromTheTopAfterYes) {
  MakeFolders(sandbox.Path("a"));
  const std::string path = sandbox.Path("a\\b\\c");
  answers = {IDYES};
  EXPECT_EQ(0, ConfirmFolder(path.c_str()));
  std::vector<ShownBox> shown = TakeBoxes();
  ASSERT_EQ(1u, shown.size());
  EXPECT_EQ(Question(path), shown[0].text);
  EXPECT_EQ(36u, shown[0].style) << "Yes/No with the question icon";
  EXPECT_EQ("SetUp", shown[0].caption) << "the program's name";
  EXPECT_EQ(kBrowser, shown[0].owner);
  EXPECT_TRUE(PathExists(sandbox.Path("a\\b")));
  EXPECT_TRUE(PathExists(path));

  // A lower-case drive letter and Chinese names.
  std::string lower = sandbox.Path("批打印\\软件");
  lower[0] = 'c';
  answers = {IDYES};
  EXPECT_EQ(0, ConfirmFolder(lower.c_str()));
  EXPECT_EQ(1u, TakeBoxes().size());
  EXPECT_TRUE(PathExists(sandbox.Path("批打印\\软件")));
}

TEST_F(FolderDialogue, AnyAnswerButYesCreatesNothingAndSaysNothingMore) {
  const std::string path = sandbox.Path("x\\y");
  for (int answer : {IDNO, IDCANCEL, 0}) {
    answers = {answer};
    EXPECT_EQ(-1, ConfirmFolder(path.c_str())) << "answer " << answer;
    EXPECT_EQ(1u, TakeBoxes().size()) << "answer " << answer << ": the question only";
    EXPECT_FALSE(PathExists(sandbox.Path("x"))) << "answer " << answer;
  }
}

TEST_F(FolderDialogue, MalformedPathIsReportedOnceAndNothingIsCreated) {
  const std::string tooLong = sandbox.Path(std::string(300, 'L'));
  for (const std::string& path : {sandbox.Path("new\\"), sandbox.Path("new\\a|b"),
                                  sandbox.Path("nul"),  // present for _access: would be accepted at once
                                  sandbox.Path("new\\..\\x"), std::string("C:new"), std::string(""), tooLong}) {
    answers = {IDOK};
    EXPECT_EQ(1, ConfirmFolder(path.c_str())) << path;
    std::vector<ShownBox> shown = TakeBoxes();
    ASSERT_EQ(1u, shown.size()) << path;
    EXPECT_EQ(Invalid(path), shown[0].text) << "the path as typed, whatever its length";
    EXPECT_EQ(48u, shown[0].style) << "OK with the exclamation icon";
    EXPECT_FALSE(PathExists(sandbox.Path("new"))) << path;
  }
  answers = {IDOK};
  EXPECT_EQ(1, ConfirmFolder(nullptr));
  EXPECT_EQ(Invalid(""), TakeBoxes().at(0).text);
}

TEST_F(FolderDialogue, WhatCannotBeCreatedIsReportedAfterTheQuestion) {
  WriteTestFile(sandbox.Path("file"), "x");
  for (const std::string& path : {std::string("Q:\\"), std::string("Q:\\x"), sandbox.Path("file\\sub")}) {
    answers = {IDYES, IDOK};
    EXPECT_EQ(2, ConfirmFolder(path.c_str())) << path;
    std::vector<ShownBox> shown = TakeBoxes();
    ASSERT_EQ(2u, shown.size()) << path;
    EXPECT_EQ(Question(path), shown[0].text);
    EXPECT_EQ(NotCreated(path), shown[1].text);
    EXPECT_EQ(48u, shown[1].style);
  }
  EXPECT_EQ("x", ReadTestFile(sandbox.Path("file"))) << "the file in the way is left alone";
}

// The check walks bytes, so 嘰 (87 5C) reads as a lone byte 87 and then a
// backslash: "嘰" alone ends in a backslash and is invalid, "嘰a" is two
// well-formed levels. Creating it makes the level "<87>" first, which the
// worlds take differently: Wine drops the lone lead byte when it converts the
// path, so that level is the sandbox folder itself, while the emulation makes
// a folder named by the byte (listed beside 嘰a). Either way the second level
// is created as the one name 嘰a and the result is 0.
TEST_F(FolderDialogue, DoubleByteNameWithABackslashTrailByteIsWalkedAsTwoLevels) {
  const std::string path = sandbox.Path("嘰a");
  answers = {IDYES};
  EXPECT_EQ(0, ConfirmFolder(path.c_str()));
  std::vector<ShownBox> shown = TakeBoxes();
  ASSERT_EQ(1u, shown.size());
  EXPECT_EQ(Question(path), shown[0].text);
  EXPECT_TRUE(PathExists(path));
  EXPECT_TRUE(PathExists(sandbox.Path("\x87")));

  answers = {IDOK};
  EXPECT_EQ(1, ConfirmFolder(sandbox.Path("嘰").c_str()));
  EXPECT_EQ(Invalid(sandbox.Path("嘰")), TakeBoxes().at(0).text);
}

}  // namespace
