// Starting a program, waiting for its end and ending it.
#include "ui_driver.h"

namespace uidriver {
namespace {

// One command-line word, quoted so that CommandLineToArgvW gives it back.
std::wstring Quote(const std::wstring& word) {
  if (!word.empty() && word.find_first_of(L" \t\n\v\"") == std::wstring::npos) return word;
  std::wstring quoted = L"\"";
  for (size_t i = 0;; ++i) {
    size_t backslashes = 0;
    while (i < word.size() && word[i] == L'\\') ++i, ++backslashes;
    if (i == word.size()) {
      quoted.append(backslashes * 2, L'\\');
      break;
    }
    quoted.append(word[i] == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    quoted += word[i];
  }
  return quoted + L"\"";
}

}  // namespace

Process Process::Start(const std::string& exe, const StartOptions& options) {
  std::wstring application = Widen(exe);
  std::wstring commandLine = Quote(application);
  for (const std::string& arg : options.args) commandLine += L" " + Quote(Widen(arg));
  std::wstring workdir = Widen(options.workdir);

  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  auto start = [&] {
    return CreateProcessW(application.c_str(), &commandLine[0], nullptr, nullptr, FALSE,
                          options.detached ? DETACHED_PROCESS : 0, nullptr, workdir.empty() ? nullptr : workdir.c_str(),
                          &startup, &info);
  };
  bool started = start();
  if (!started && GetLastError() == ERROR_INTERNAL_ERROR) {
    Sleep(500);  // under load, Wine now and then fails a start with an internal error
    started = start();
  }
  if (!started) {
    throw Failure("cannot start " + exe + (workdir.empty() ? "" : " in " + options.workdir) + ": error " +
                  std::to_string(GetLastError()));
  }
  CloseHandle(info.hThread);
  return Process(info.hProcess, info.dwProcessId, exe);
}

Process Process::Attach(DWORD pid) {
  HANDLE handle = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE, pid);
  if (handle == nullptr)
    throw Failure("no process with id " + std::to_string(pid) + " (it may have ended already)");
  return Process(handle, pid, "process " + std::to_string(pid));
}

DWORD Process::WaitExit(DWORD timeoutMs) const {
  if (m_handle == nullptr) throw Failure("waiting for the end of a program that was never started");
  if (WaitForSingleObject(Handle(), timeoutMs) != WAIT_OBJECT_0)
    throw Failure(m_name + " (pid " + std::to_string(m_id) + ") still runs after " + std::to_string(timeoutMs) +
                  " ms");
  DWORD code = 0;
  GetExitCodeProcess(Handle(), &code);
  return code;
}

void Process::Terminate() {
  if (m_handle == nullptr || WaitForSingleObject(Handle(), 0) != WAIT_TIMEOUT) return;
  TerminateProcess(Handle(), 1);
  if (WaitForSingleObject(Handle(), 10000) != WAIT_OBJECT_0)
    throw Failure(m_name + " (pid " + std::to_string(m_id) + ") did not end within 10000 ms of TerminateProcess");
}

}  // namespace uidriver
