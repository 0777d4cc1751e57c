// Starting a program, waiting for its end and ending it.
#include <algorithm>
#include <cwchar>

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

bool HasName(const std::wstring& entry, const std::wstring& name) {
  return entry.size() > name.size() && entry[name.size()] == L'=' &&
         _wcsnicmp(entry.c_str(), name.c_str(), name.size()) == 0;
}

// The driver's environment with the given variables set.
std::wstring EnvironmentBlock(const std::map<std::string, std::string>& overrides) {
  std::vector<std::wstring> entries;
  LPWCH current = GetEnvironmentStringsW();
  for (LPWCH entry = current; *entry != L'\0'; entry += wcslen(entry) + 1) entries.emplace_back(entry);
  FreeEnvironmentStringsW(current);
  for (const auto& variable : overrides) {
    std::wstring name = Widen(variable.first);
    entries.erase(std::remove_if(entries.begin(), entries.end(),
                                 [&](const std::wstring& entry) { return HasName(entry, name); }),
                  entries.end());
    entries.push_back(name + L"=" + Widen(variable.second));
  }
  std::wstring block;
  for (const std::wstring& entry : entries) block += entry + L'\0';
  return block + L'\0';
}

}  // namespace

Process::~Process() {
  if (m_handle != nullptr) CloseHandle(m_handle);
}

Process::Process(Process&& other) noexcept { *this = std::move(other); }

Process& Process::operator=(Process&& other) noexcept {
  if (this != &other) {
    if (m_handle != nullptr) CloseHandle(m_handle);
    m_handle = std::exchange(other.m_handle, nullptr);
    m_id = std::exchange(other.m_id, 0);
    m_name = std::move(other.m_name);
  }
  return *this;
}

Process Process::Start(const std::string& exe, const StartOptions& options) {
  std::wstring application = Widen(exe);
  std::wstring commandLine = Quote(application);
  for (const std::string& arg : options.args) commandLine += L" " + Quote(Widen(arg));
  std::wstring environment = options.env.empty() ? std::wstring() : EnvironmentBlock(options.env);
  std::wstring workdir = Widen(options.workdir);

  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  DWORD flags = CREATE_UNICODE_ENVIRONMENT | (options.shareOutput ? 0 : DETACHED_PROCESS);
  auto start = [&] {
    return CreateProcessW(application.c_str(), &commandLine[0], nullptr, nullptr, FALSE, flags,
                          environment.empty() ? nullptr : &environment[0], workdir.empty() ? nullptr : workdir.c_str(),
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
  Process process;
  process.m_handle = info.hProcess;
  process.m_id = info.dwProcessId;
  process.m_name = exe;
  return process;
}

Process Process::Attach(DWORD pid) {
  HANDLE handle = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE, pid);
  if (handle == nullptr)
    throw Failure("no process with id " + std::to_string(pid) + " (it may have ended already)");
  Process process;
  process.m_handle = handle;
  process.m_id = pid;
  process.m_name = "process " + std::to_string(pid);
  return process;
}

bool Process::Running() const {
  return m_handle != nullptr && WaitForSingleObject(m_handle, 0) == WAIT_TIMEOUT;
}

DWORD Process::WaitExit(DWORD timeoutMs) const {
  if (m_handle == nullptr) throw Failure("waiting for the end of a program that was never started");
  if (WaitForSingleObject(m_handle, timeoutMs) != WAIT_OBJECT_0)
    throw Failure(m_name + " (pid " + std::to_string(m_id) + ") still runs after " + std::to_string(timeoutMs) +
                  " ms");
  DWORD code = 0;
  GetExitCodeProcess(m_handle, &code);
  return code;
}

void Process::Terminate() {
  if (!Running()) return;
  TerminateProcess(m_handle, 1);
  if (WaitForSingleObject(m_handle, 10000) != WAIT_OBJECT_0)
    throw Failure(m_name + " (pid " + std::to_string(m_id) + ") did not end within 10000 ms of TerminateProcess");
}

}  // namespace uidriver
