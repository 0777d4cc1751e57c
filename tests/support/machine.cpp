// The test machine: its folder, environment, message boxes and program path,
// and the helper processes a test starts.
#include "machine.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace {

Machine* g_machine = nullptr;
std::string g_programPath;

int WINAPI AnswerBox(HWND, LPCSTR text, LPCSTR caption, UINT style) {
  g_machine->boxes.push_back(ShownBox{text ? text : "", caption ? caption : "", style});
  if (!g_machine->answers.empty()) {
    int answer = g_machine->answers.front();
    g_machine->answers.pop_front();
    return answer;
  }
  ADD_FAILURE() << "unexpected message box: " << g_machine->boxes.back().text;
  // A box that keeps coming back whatever it is answered would never end.
  if (g_machine->boxes.size() > 100) std::abort();
  return (style & 0xF) == MB_ABORTRETRYIGNORE ? IDABORT : IDNO;  // what ends the box's question
}

DWORD WINAPI ProgramPath(HMODULE module, LPSTR buffer, DWORD size) {
  if (module != nullptr) return (kRealSyscalls.GetModuleFileNameA)(module, buffer, size);
  lstrcpynA(buffer, g_programPath.c_str(), size);  // as Windows does: cut to fill the buffer
  return std::min<DWORD>(g_programPath.size(), size);
}

}  // namespace

Machine::Machine() {
  RemoveAutoCadKeys();
  g_machine = this;
  RestoreSyscalls();
  g_syscalls.MessageBoxA = &AnswerBox;
  // A folder of each machine's own: a test that stops the program in the
  // middle leaves what it held open (a listing of a folder, say) until the
  // process ends.
  static int machines = 0;
  m_root = "C:\\setup-test-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++machines);
  RemoveTree(m_root);
  MakeFolders(m_root);
  SetEnvironmentVariableA("APPDATA", m_root.c_str());
  m_outside = MachineOutsideAutoCad();
}

Machine::~Machine() {
  RestoreSyscalls();
  const std::string now = MachineOutsideAutoCad();
  // Where it first differs, from the key the difference is in.
  const size_t key = now.rfind("\nHK", std::mismatch(now.begin(), now.end(), m_outside.begin(), m_outside.end()).first - now.begin()) + 1;
  EXPECT_TRUE(now == m_outside) << "the registry outside AutoCAD's keys changed:\n" << now.substr(key, 300) << "\nwas:\n" << m_outside.substr(key, 300);
  SetCurrentDirectoryA("C:\\");  // a folder of the machine's would stay behind
  RemoveTree(m_root);
  g_machine = nullptr;
  EXPECT_TRUE(answers.empty()) << answers.size() << " answers left: a message box did not come";
}

void Machine::SetProgramPath(const std::string& path) {
  g_programPath = path;
  g_syscalls.GetModuleFileNameA = &ProgramPath;
}

TestProcess::TestProcess(const std::string& folder, const std::string& exeName) {
  const std::string exe = folder + "\\" + exeName;
  if (!CopyFileA(SETUP_EXE, exe.c_str(), FALSE)) throw std::runtime_error("cannot copy " + exe);
  m_process = uidriver::Process::Start(exe);
  if (WaitForInputIdle(m_process.Handle(), 20000) != 0) throw std::runtime_error(exe + " did not start");
}
