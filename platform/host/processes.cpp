// Processes, the program's own path, the environment and the last error of
// the host emulation.
#include <cstring>
#include <map>
#include <vector>

#include "host_internal.h"
#include "host_test_api.h"
#include "seams.h"

namespace host {
namespace {

struct Processes {
  std::vector<std::string> running;
  std::map<uintptr_t, size_t> snapshots;  // handle -> next entry to read
  uintptr_t nextSnapshot = 0x9000;
  std::vector<std::string> taken;         // the list at the time of the snapshot
  std::map<std::string, std::pair<std::string, std::string>> environment;  // folded name -> (name, value)
  std::string programPath;
  DWORD lastError = 0;
};

Processes& State() {
  static Processes state;
  return state;
}

bool FillEntry(HANDLE snapshot, LPPROCESSENTRY32 entry) {
  auto found = State().snapshots.find(reinterpret_cast<uintptr_t>(snapshot));
  if (found == State().snapshots.end() || entry == nullptr || entry->dwSize < sizeof(PROCESSENTRY32)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  if (found->second >= State().taken.size()) {
    SetLastError(ERROR_NO_MORE_FILES);
    return false;
  }
  const std::string& name = State().taken[found->second];
  entry->th32ProcessID = static_cast<DWORD>(100 + 4 * found->second);
  memset(entry->szExeFile, 0, sizeof entry->szExeFile);
  name.copy(entry->szExeFile, MAX_PATH - 1);
  ++found->second;
  return true;
}

}  // namespace

void ResetProcesses() {
  DWORD keepError = State().lastError;
  State() = Processes();
  State().lastError = keepError;
}

void SetProcesses(const std::vector<std::string>& exeNames) { State().running = exeNames; }

}  // namespace host


void SeamSetProgramPath(const char* path) { host::State().programPath = path ? path : ""; }

HANDLE CreateToolhelp32Snapshot(DWORD dwFlags, DWORD) {
  LONG error = 0;
  if (host::EnterCall("CreateToolhelp32Snapshot", &error)) return INVALID_HANDLE_VALUE;
  if (!(dwFlags & TH32CS_SNAPPROCESS)) return INVALID_HANDLE_VALUE;
  uintptr_t handle = host::State().nextSnapshot;
  host::State().nextSnapshot += 4;
  host::State().snapshots[handle] = 0;
  host::State().taken = host::State().running;
  return reinterpret_cast<HANDLE>(handle);
}

BOOL Process32First(HANDLE hSnapshot, LPPROCESSENTRY32 lppe) {
  LONG error = 0;
  if (host::EnterCall("Process32First", &error)) return FALSE;
  auto found = host::State().snapshots.find(reinterpret_cast<uintptr_t>(hSnapshot));
  if (found != host::State().snapshots.end()) found->second = 0;
  return host::FillEntry(hSnapshot, lppe) ? TRUE : FALSE;
}

BOOL Process32Next(HANDLE hSnapshot, LPPROCESSENTRY32 lppe) {
  LONG error = 0;
  if (host::EnterCall("Process32Next", &error)) return FALSE;
  return host::FillEntry(hSnapshot, lppe) ? TRUE : FALSE;
}

BOOL CloseHandle(HANDLE hObject) {
  if (host::State().snapshots.erase(reinterpret_cast<uintptr_t>(hObject))) return TRUE;
  SetLastError(ERROR_INVALID_HANDLE);
  return FALSE;
}

DWORD GetModuleFileNameA(HMODULE, LPSTR lpFilename, DWORD nSize) {
  const std::string& path = host::State().programPath;
  if (nSize == 0) return 0;
  if (path.size() >= nSize) {
    // As Windows: cut to nSize - 1 characters, report nSize.
    path.copy(lpFilename, nSize - 1);
    lpFilename[nSize - 1] = '\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return nSize;
  }
  path.copy(lpFilename, path.size());
  lpFilename[path.size()] = '\0';
  return static_cast<DWORD>(path.size());
}

DWORD GetEnvironmentVariableA(LPCSTR lpName, LPSTR lpBuffer, DWORD nSize) {
  auto found = host::State().environment.find(host::FoldCase(lpName ? lpName : ""));
  if (found == host::State().environment.end()) {
    SetLastError(ERROR_ENVVAR_NOT_FOUND);
    return 0;
  }
  const std::string& value = found->second.second;
  // A value that does not fit leaves the buffer alone and reports the size needed.
  if (value.size() + 1 > nSize || lpBuffer == nullptr) return static_cast<DWORD>(value.size() + 1);
  memcpy(lpBuffer, value.c_str(), value.size() + 1);
  return static_cast<DWORD>(value.size());
}

BOOL SetEnvironmentVariableA(LPCSTR lpName, LPCSTR lpValue) {
  if (lpName == nullptr || lpName[0] == '\0') return FALSE;
  std::string folded = host::FoldCase(lpName);
  if (lpValue == nullptr)
    host::State().environment.erase(folded);
  else
    host::State().environment[folded] = {lpName, lpValue};
  return TRUE;
}

DWORD GetLastError() { return host::State().lastError; }

void SetLastError(DWORD dwErrCode) { host::State().lastError = dwErrCode; }
