// The win32 backend's two seams: everything else is the real API.
#include "seams.h"

#include <string>

#undef MessageBoxA
#undef GetModuleFileNameA

namespace {
std::function<int(const MessageBoxCall&)>& Answerer() {
  static std::function<int(const MessageBoxCall&)> answerer;
  return answerer;
}
bool g_hasProgramPath = false;
std::string g_programPath;
}  // namespace

void SeamSetMessageBoxAnswerer(std::function<int(const MessageBoxCall&)> answerer) {
  Answerer() = std::move(answerer);
}

void SeamSetProgramPath(const char* path) {
  g_hasProgramPath = path != nullptr;
  g_programPath = path ? path : "";
}

int WINAPI SeamMessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
  if (Answerer()) return Answerer()(MessageBoxCall{hWnd, lpText, lpCaption, uType});
  return MessageBoxA(hWnd, lpText, lpCaption, uType);
}

DWORD WINAPI SeamGetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize) {
  if (hModule != nullptr || !g_hasProgramPath) return GetModuleFileNameA(hModule, lpFilename, nSize);
  // Same contract as the real call: a path that does not fit is cut to
  // nSize - 1 characters and the result is nSize.
  if (nSize == 0) return 0;
  DWORD length = static_cast<DWORD>(g_programPath.size());
  if (length >= nSize) {
    g_programPath.copy(lpFilename, nSize - 1);
    lpFilename[nSize - 1] = '\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return nSize;
  }
  g_programPath.copy(lpFilename, length);
  lpFilename[length] = '\0';
  return length;
}
