// Helpers of the deployment tests: a setup folder with its payload, a
// progress bar that counts steps, and a recorder for message boxes.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "sandbox.h"

inline const char kDataFolderMissingText[] =
    "未找到安装所需的Data文件夹 !\n\n可能安装文件下载后没有解压，\n\n请解压后再执行SetUp.exe !";
inline const char kCaption[] = "T-软件安装";
inline std::string CopyFailedText(const std::string& destination) {
  return "拷贝文件 " + destination + " 失败，可能原因如下：\n\n1、AutoCAD未关闭\n\n2、系统权限未开放，请以管理者权限登陆系统";
}

// The names a listing yields, without "." and "..", sorted.
inline std::vector<std::string> Names(const std::string& folder, bool sorted = true) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((folder + "\\*.*").c_str(), &entry);
  for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &entry))
    if (std::string(entry.cFileName) != "." && std::string(entry.cFileName) != "..") names.push_back(entry.cFileName);
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  if (sorted) std::sort(names.begin(), names.end());
  return names;
}
typedef std::vector<std::string> NameList;

// Records each message box and gives the queued answers in turn (IDOK when
// none is left); onBox runs before each answer.
struct BoxRecorder {
  struct Box {
    HWND owner;
    std::string text, caption;
    UINT style;
  };
  explicit BoxRecorder(std::deque<int> queued = {}) : answers(std::move(queued)) {
    SeamSetMessageBoxAnswerer([this](const MessageBoxCall& call) {
      boxes.push_back(Box{call.owner, call.text, call.caption, call.style});
      if (onBox) onBox(boxes.size());
      if (boxes.size() > 20) {
        ADD_FAILURE() << "the box keeps coming back";
        return IDABORT;
      }
      int answer = answers.empty() ? IDOK : answers.front();
      if (!answers.empty()) answers.pop_front();
      return answer;
    });
  }
  ~BoxRecorder() { SeamSetMessageBoxAnswerer(UnexpectedMessageBox); }
  std::deque<int> answers;
  std::vector<Box> boxes;
  std::function<void(size_t)> onBox;
};

// A setup folder pkg holding SetUp.exe (the program path) and its payload
// folder Data, the target folder Tavrin\T-RedavIzor, and the setup dialog's
// progress bar with a step of 1, so that its position counts the steps.
class PayloadMachine : public testing::Test {
 protected:
  PayloadMachine() {
    MakeFolders(data);
    MakeFolders(target);
    SeamSetProgramPath((setupFolder + "\\SetUp.exe").c_str());
    progress.Attach(CreateTestProgressBar());
    progress.SetRange(0, 1000);
    progress.SetStep(1);
  }
  ~PayloadMachine() override {
    DestroyTestProgressBar(progress.Detach());
    AfxSetModalOwner(nullptr);
  }
  void AddPayload(const NameList& names) {
    for (const std::string& name : names) WriteTestFile(data + "\\" + name, "payload " + name);
  }

  Sandbox sandbox;
  const std::string setupFolder = sandbox.Path("pkg");
  const std::string data = setupFolder + "\\Data";
  const std::string target = sandbox.Path("Tavrin\\T-RedavIzor");
  CProgressCtrl progress;
};
