// The test machine: its folder, environment, message boxes and program path.
#include "machine.h"

#include <cstdlib>
#include <stdexcept>

namespace {

Machine* g_machine = nullptr;
std::string g_programPath;
int g_sandboxCount = 0;

int WINAPI AnswerBox(HWND owner, LPCSTR text, LPCSTR caption, UINT style) {
  g_machine->boxes.push_back(ShownBox{owner, text ? text : "", caption ? caption : "", style});
  if (!g_machine->answers.empty()) {
    int answer = g_machine->answers.front();
    g_machine->answers.pop_front();
    return answer;
  }
  ADD_FAILURE() << "unexpected message box: " << g_machine->boxes.back().text;
  // A box that keeps coming back whatever it is answered would never end.
  if (g_machine->boxes.size() > 100) std::abort();
  // The answer that ends what the box asks for.
  switch (style & 0xF) {
    case MB_ABORTRETRYIGNORE: return IDABORT;
    case MB_YESNO: return IDNO;
    default: return IDOK;
  }
}

DWORD WINAPI ProgramPath(HMODULE module, LPSTR buffer, DWORD size) {
  if (module != nullptr) return (kRealSyscalls.GetModuleFileNameA)(module, buffer, size);
  if (size == 0) return 0;
  // As Windows does: a path that does not fit is cut and fills the buffer.
  DWORD length = static_cast<DWORD>(g_programPath.size());
  DWORD copied = length < size ? length : size - 1;
  g_programPath.copy(buffer, copied);
  buffer[copied] = '\0';
  return length < size ? length : size;
}

std::string Environment(const char* name, bool* present) {
  char value[32768];
  DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
  *present = length > 0 && length < sizeof value;
  return *present ? std::string(value, length) : std::string();
}

void RemoveAutoCadKeys() {
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Autodesk");
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Wow6432Node\\Autodesk");
  RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\Autodesk");
}

}  // namespace

Machine::Machine() {
  RemoveAutoCadKeys();
  g_machine = this;
  g_programPath.clear();
  RestoreCalls();
  m_appData = Environment("APPDATA", &m_hadAppData);
  char cwd[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, cwd);
  m_currentDirectory = cwd;
  m_root = "C:\\setup-tests\\t" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++g_sandboxCount);
  RemoveTree(m_root);
  MakeFolders(m_root);
}

Machine::~Machine() {
  RestoreSyscalls();
  AfxSetModalOwner(nullptr);
  SetCurrentDirectoryA(m_currentDirectory.c_str());
  SetEnvironmentVariableA("APPDATA", m_hadAppData ? m_appData.c_str() : nullptr);
  RemoveTree(m_root);
  RemoveAutoCadKeys();
  g_machine = nullptr;
  EXPECT_TRUE(answers.empty()) << answers.size() << " answers left: a message box did not come";
}

void Machine::SetProgramPath(const std::string& path) {
  g_programPath = path;
  g_syscalls.GetModuleFileNameA = &ProgramPath;
}

void Machine::RestoreCalls() {
  RestoreSyscalls();
  g_syscalls.MessageBoxA = &AnswerBox;
  if (!g_programPath.empty()) g_syscalls.GetModuleFileNameA = &ProgramPath;
}

TestProcess::TestProcess(const std::string& folder, const std::string& exeName, const std::string& heldFile) {
  m_exePath = folder + "\\" + exeName;
  if (!CopyFileA(SETUP_TEST_PROCESS_EXE, m_exePath.c_str(), FALSE)) throw std::runtime_error("cannot copy " + m_exePath);
  HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, "SetupTestProcessReady");
  ResetEvent(ready);
  std::string commandLine = "\"" + m_exePath + "\"";
  if (!heldFile.empty()) commandLine += " --hold \"" + heldFile + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  if (!CreateProcessA(m_exePath.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                      &startup, &m_process)) {
    CloseHandle(ready);
    throw std::runtime_error("cannot start " + m_exePath);
  }
  HANDLE waits[2] = {ready, m_process.hProcess};
  DWORD which = WaitForMultipleObjects(2, waits, FALSE, 20000);
  CloseHandle(ready);
  if (which != WAIT_OBJECT_0) throw std::runtime_error("the helper process did not start: " + m_exePath);
}

TestProcess::~TestProcess() {
  TerminateProcess(m_process.hProcess, 0);
  WaitForSingleObject(m_process.hProcess, 20000);
  CloseHandle(m_process.hThread);
  CloseHandle(m_process.hProcess);
  DeleteFileA(m_exePath.c_str());
}
