// The sandbox under Windows (Wine): a folder of its own below
// C:\setup-tests, the AutoCAD keys removed before and after, and APPDATA and
// the current directory restored at the end.
#include <stdexcept>
#include <vector>

#include "registry_helpers.h"
#include "sandbox.h"

namespace {

int g_sandboxCount = 0;

void RemoveAutoCadKeys() {
  RegRemoveTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Autodesk");
  RegRemoveTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Wow6432Node\\Autodesk");
  RegRemoveTree(HKEY_CURRENT_USER, "SOFTWARE\\Autodesk");
}

std::string Environment(const char* name, bool* present) {
  char value[32768];
  DWORD length = ::GetEnvironmentVariableA(name, value, sizeof value);
  *present = length > 0 && length < sizeof value;
  return *present ? std::string(value, length) : std::string();
}

}  // namespace

Sandbox::Sandbox() {
  RemoveAutoCadKeys();
  SeamSetProgramPath(nullptr);
  SeamSetMessageBoxAnswerer(UnexpectedMessageBox);
  bool present = false;
  m_saved[0] = Environment("APPDATA", &present);
  m_saved[1] = present ? "1" : "";
  char cwd[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, cwd);
  m_saved[2] = cwd;
  m_root = "C:\\setup-tests\\t" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++g_sandboxCount);
  RemoveTree(m_root);
  MakeFolders(m_root);
}

Sandbox::~Sandbox() {
  SetCurrentDirectoryA(m_saved[2].c_str());
  SetEnvironmentVariableA("APPDATA", m_saved[1].empty() ? nullptr : m_saved[0].c_str());
  RemoveTree(m_root);
  RemoveAutoCadKeys();
  SeamSetProgramPath(nullptr);
  SeamSetMessageBoxAnswerer(nullptr);
}

void WriteTestFile(const std::string& path, const std::string& content) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot write " + path);
  DWORD written = 0;
  WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  CloseHandle(file);
  if (written != content.size()) throw std::runtime_error("short write to " + path);
}

std::optional<std::string> ReadTestFile(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string content;
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) content.append(buffer, got);
  CloseHandle(file);
  return content;
}

HWND CreateTestProgressBar() {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  HWND bar = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_POPUP, 0, 0, 200, 20, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
  if (bar == nullptr) throw std::runtime_error("cannot create a progress control");
  return bar;
}

void DestroyTestProgressBar(HWND bar) { DestroyWindow(bar); }

std::string Utf8ToAnsi(const std::string& utf8) {
  int wide = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::vector<wchar_t> text(static_cast<size_t>(wide) + 1);
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), wide);
  int narrow = WideCharToMultiByte(CP_ACP, 0, text.data(), wide, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(narrow), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), wide, &out[0], narrow, nullptr, nullptr);
  return out;
}

std::string FixturePath(const std::string& name) { return std::string(SETUP_FIXTURE_DIR) + "\\" + name; }
