// The texts and styles of the deployment's message boxes.
#include "setup_messages.h"

const char kSetupCaption[] = "T-软件安装";

void ShowDataFolderNotFound() {
  MessageBoxA(AfxGetModalOwner(),
              "未找到安装所需的Data文件夹 !\n\n可能安装文件下载后没有解压，\n\n请解压后再执行SetUp.exe !",
              kSetupCaption, MB_OK);
}

int AskAfterFailedCopy(const char* destination) {
  CString text;
  text.Format("拷贝文件 %s 失败，可能原因如下：\n\n1、AutoCAD未关闭\n\n2、系统权限未开放，请以管理者权限登陆系统",
              destination);
  return MessageBoxA(AfxGetModalOwner(), text, kSetupCaption, MB_ABORTRETRYIGNORE);
}
