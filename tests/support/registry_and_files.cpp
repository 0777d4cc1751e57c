// Registry and file helpers of the tests: .reg imports through regedit,
// dumps and reads, a count of open registry handles, and plain files.
#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "machine.h"

namespace {

int g_openHandles = 0;
SyscallTable g_counted;  // what the counting entries pass their calls on to

LSTATUS WINAPI CountingOpenKey(HKEY key, LPCSTR name, PHKEY result) {
  LSTATUS status = (g_counted.RegOpenKeyA)(key, name, result);
  if (status == ERROR_SUCCESS) ++g_openHandles;
  return status;
}
LSTATUS WINAPI CountingOpenKeyEx(HKEY key, LPCSTR name, DWORD options, REGSAM access, PHKEY result) {
  LSTATUS status = (g_counted.RegOpenKeyExA)(key, name, options, access, result);
  if (status == ERROR_SUCCESS) ++g_openHandles;
  return status;
}
LSTATUS WINAPI CountingCreateKey(HKEY key, LPCSTR name, PHKEY result) {
  LSTATUS status = (g_counted.RegCreateKeyA)(key, name, result);
  if (status == ERROR_SUCCESS) ++g_openHandles;
  return status;
}
LSTATUS WINAPI CountingCloseKey(HKEY key) {
  --g_openHandles;
  return (g_counted.RegCloseKey)(key);
}

std::string Hex(const std::string& bytes) {
  std::string text;
  char piece[4];
  for (unsigned char byte : bytes) {
    snprintf(piece, sizeof piece, "%02x", byte);
    text += (text.empty() ? "" : ",") + std::string(piece);
  }
  return text;
}

void DumpInto(HKEY root, const std::string& key, std::string* out) {
  HKEY handle = nullptr;
  if ((kRealSyscalls.RegOpenKeyExA)(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return;
  *out += key + "\n";
  std::vector<char> name(16384), data(65536);
  for (DWORD index = 0;; ++index) {
    DWORD nameSize = static_cast<DWORD>(name.size()), dataSize = static_cast<DWORD>(data.size()), type = 0;
    if (RegEnumValueA(handle, index, name.data(), &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                      &dataSize) != ERROR_SUCCESS)
      break;
    std::string bytes(data.data(), dataSize), shown;
    DWORD number = 0;
    if (type == REG_DWORD && dataSize == 4) memcpy(&number, bytes.data(), 4);
    if (type == REG_SZ && !bytes.empty() && bytes.back() == '\0' && strlen(bytes.c_str()) == bytes.size() - 1)
      shown = "sz:" + bytes.substr(0, bytes.size() - 1);
    else if (type == REG_DWORD && dataSize == 4)
      shown = "dword:" + std::to_string(number);
    else
      shown = "hex(" + std::to_string(type) + "):" + Hex(bytes);
    *out += key + ": " + std::string(name.data(), nameSize) + " = " + shown + "\n";
  }
  for (DWORD index = 0;; ++index) {
    DWORD nameSize = static_cast<DWORD>(name.size());
    if ((kRealSyscalls.RegEnumKeyExA)(handle, index, name.data(), &nameSize, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS)
      break;
    DumpInto(root, key + "\\" + std::string(name.data(), nameSize), out);
  }
  (kRealSyscalls.RegCloseKey)(handle);
}

std::wstring Wide(const std::string& utf8) {
  int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], length);
  return wide;
}

}  // namespace

void ImportReg(const std::string& utf8Text) {
  // regedit reads UTF-16 .reg files whatever the code page, so that Chinese
  // key names arrive whole.
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string file = std::string(temp) + "unit-" + std::to_string(GetCurrentProcessId()) + ".reg";
  std::wstring text = L"\xFEFF" + Wide(utf8Text);
  WriteFile(file, std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t)));
  char windows[MAX_PATH];
  GetWindowsDirectoryA(windows, MAX_PATH);
  std::string command = "\"" + std::string(windows) + "\\regedit.exe\" /s \"" + file + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    throw std::runtime_error("cannot start regedit");
  WaitForSingleObject(process.hProcess, 60000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  DeleteFileA(file.c_str());
}

void ImportCase(const std::string& name) {
  std::optional<std::string> text = ReadFile(std::string(SETUP_CASES_DIR) + "\\" + name + ".reg");
  if (!text) throw std::runtime_error("no case " + name);
  ImportReg(text->compare(0, 3, "\xEF\xBB\xBF") == 0 ? text->substr(3) : *text);
}

std::optional<std::string> RegReadString(HKEY root, const std::string& key, const std::string& name) {
  HKEY handle = nullptr;
  if ((kRealSyscalls.RegOpenKeyExA)(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return std::nullopt;
  std::vector<char> data(65536);
  DWORD size = static_cast<DWORD>(data.size());
  LSTATUS status =
      (kRealSyscalls.RegQueryValueExA)(handle, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()), &size);
  (kRealSyscalls.RegCloseKey)(handle);
  if (status != ERROR_SUCCESS) return std::nullopt;
  return std::string(data.data(), size > 0 && data[size - 1] == '\0' ? size - 1 : size);
}

std::string RegDump(HKEY root, const std::string& key) {
  std::string out;
  DumpInto(root, key, &out);
  return out;
}

void CountRegistryHandles() {
  g_openHandles = 0;
  g_counted = g_syscalls;
  g_syscalls.RegOpenKeyA = &CountingOpenKey;
  g_syscalls.RegOpenKeyExA = &CountingOpenKeyEx;
  g_syscalls.RegCreateKeyA = &CountingCreateKey;
  g_syscalls.RegCloseKey = &CountingCloseKey;
}

int OpenRegistryHandles() { return g_openHandles; }

void WriteFile(const std::string& path, const std::string& content) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot write " + path);
  DWORD written = 0;
  ::WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  CloseHandle(file);
}

std::optional<std::string> ReadFile(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string content;
  char buffer[65536];
  DWORD got = 0;
  while (::ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) content.append(buffer, got);
  CloseHandle(file);
  return content;
}

void MakeFolders(const std::string& path) {
  for (size_t pos = path.find('\\', 3);; pos = path.find('\\', pos + 1)) {
    CreateDirectoryA(path.substr(0, pos).c_str(), nullptr);
    if (pos == std::string::npos) break;
  }
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA entry;
  HANDLE search = (kRealSyscalls.FindFirstFileA)((folder + "\\*.*").c_str(), &entry);
  for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &entry))
    if (strcmp(entry.cFileName, ".") != 0 && strcmp(entry.cFileName, "..") != 0) names.push_back(entry.cFileName);
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}

void RemoveTree(const std::string& path) {
  for (const std::string& name : Names(path)) {
    const std::string child = path + "\\" + name;
    SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (GetFileAttributesA(child.c_str()) & FILE_ATTRIBUTE_DIRECTORY)
      RemoveTree(child);
    else
      DeleteFileA(child.c_str());
  }
  RemoveDirectoryA(path.c_str());
}

std::string Ansi(const std::string& utf8) {
  std::wstring wide = Wide(utf8);
  int length = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), &out[0], length, nullptr, nullptr);
  return out;
}
