// Case files, .reg imports and registry dumps, and plain files.
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <stdexcept>

#include "machine.h"

std::string CaseFile(const std::string& file) {
  return ReadFile(std::string(SETUP_CASES_DIR) + "\\" + file).value_or("<no " + file + ">");
}

std::string Ansi(const std::string& utf8) {
  const std::wstring wide = uidriver::Widen(utf8);
  std::string out(wide.size() * 2, '\0');
  out.resize(WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), &out[0],
                                 static_cast<int>(out.size()), nullptr, nullptr));
  return out;
}

// A case is written as the registry stores it (a 64-bit Windows's 32-bit view
// below HKLM\SOFTWARE\Wow6432Node), so it goes to the native view whatever our
// bitness, as the helpers below read it; reg.exe reads the UTF-16 file as is.
void ImportReg(const std::string& utf8) {
  const std::string file = "C:\\windows\\temp\\import-" + std::to_string(GetCurrentProcessId()) + ".reg";
  const std::wstring wide = L"\xFEFF" + uidriver::Widen(utf8);
  WriteFile(file, std::string(reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(wchar_t)));
  uidriver::StartOptions options;
  options.args = {"import", file, "/reg:64"};
  const DWORD status = uidriver::Process::Start("C:\\windows\\system32\\reg.exe", options).WaitExit(60000);
  DeleteFileA(file.c_str());
  if (status != 0) throw std::runtime_error("reg.exe import failed (" + std::to_string(status) + "):\n" + utf8);
}

void ImportCase(const std::string& name) { ImportReg(CaseFile(name + ".reg")); }

void RemoveAutoCadKeys() {
  for (const char* key : {"SOFTWARE\\Autodesk", "SOFTWARE\\Wow6432Node\\Autodesk"}) {
    HKEY handle = nullptr;
    if ((kRealSyscalls.RegOpenKeyExA)(HKEY_LOCAL_MACHINE, key, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, &handle)) continue;
    RegDeleteTreeA(handle, nullptr);
    (kRealSyscalls.RegCloseKey)(handle);
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, key, KEY_WOW64_64KEY, 0);
  }
  RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\Autodesk");
}

std::optional<std::string> RegReadString(HKEY root, const std::string& key, const std::string& name) {
  char value[4096];
  DWORD size = sizeof value;
  if (RegGetValueA(root, key.c_str(), name.c_str(), RRF_RT_REG_SZ | 0x10000 /* RRF_SUBKEY_WOW6464KEY */, nullptr, value, &size)) return std::nullopt;
  return value;
}

std::string RegDump(HKEY root, const std::string& key) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(root, uidriver::Widen(key).c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &handle) != ERROR_SUCCESS) return "";
  const std::string path = (root == HKEY_CURRENT_USER ? "HKCU\\" : "HKLM\\") + key;
  std::string out = path + "\n";
  static wchar_t name[16384], data[32768];  // each used up before the walk goes deeper
  DWORD nameSize = 16384, dataSize = sizeof data, type = 0;
  for (DWORD i = 0; !RegEnumValueW(handle, i, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(data), &dataSize);
       ++i, nameSize = 16384, dataSize = sizeof data) {
    const std::wstring text(data, dataSize / 2);
    std::string shown = "hex(" + std::to_string(type) + "):";
    for (DWORD byte = 0; byte < dataSize; ++byte) {
      const unsigned char b = reinterpret_cast<const unsigned char*>(data)[byte];
      shown += "0123456789abcdef"[b >> 4], shown += "0123456789abcdef"[b & 15];
    }
    if ((type == REG_SZ || type == REG_EXPAND_SZ) && dataSize % 2 == 0 && !text.empty() && text.find(L'\0') == text.size() - 1)
      shown = (type == REG_SZ ? "sz:" : "expand:") + uidriver::Narrow(text.substr(0, text.size() - 1));
    DWORD number = 0;
    if (type == REG_DWORD && dataSize == 4) shown = "dword:" + std::to_string((memcpy(&number, data, 4), number));
    out += path + ": " + uidriver::Narrow(std::wstring(name, nameSize)) + " = " + shown + "\n";
  }
  for (DWORD i = 0; nameSize = 16384, !RegEnumKeyExW(handle, i, name, &nameSize, 0, 0, 0, 0); ++i)
    out += RegDump(root, key + "\\" + uidriver::Narrow(std::wstring(name, nameSize)));
  (kRealSyscalls.RegCloseKey)(handle);
  return out;
}

std::string AcadRegistry() {
  return RegDump(HKEY_LOCAL_MACHINE, "SOFTWARE\\Wow6432Node\\Autodesk") + RegDump(HKEY_LOCAL_MACHINE, "SOFTWARE\\Autodesk") +
         RegDump(HKEY_CURRENT_USER, "SOFTWARE\\Autodesk");
}

namespace {

// RegSaveKey asks for the backup privilege, which the test's user holds under Wine.
bool EnableBackupPrivilege() {
  HANDLE token = nullptr;
  TOKEN_PRIVILEGES privileges = {1, {{{0, 0}, SE_PRIVILEGE_ENABLED}}};
  const bool enabled = OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &token) &&
                       LookupPrivilegeValueA(nullptr, "SeBackupPrivilege", &privileges.Privileges[0].Luid) &&
                       AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
  return CloseHandle(token), enabled;
}

// AutoCAD's keys, which the tests and the program may change, and Wine's
// own, which its services keep.
bool Excluded(const std::string& key) {
  const char* const starts[] = {"HKLM [Autodesk", "HKLM [Wow6432Node]", "HKLM [Wow6432Node\\\\Autodesk", "HKCU [Autodesk", "HKLM [Wine", "HKCU [Wine"};
  return std::any_of(std::begin(starts), std::end(starts), [&](const char* start) { return key.compare(0, strlen(start), start) == 0; });
}

}  // namespace

std::string MachineOutsideAutoCad() {
  static const bool privileged = EnableBackupPrivilege();
  std::string lines;
  const std::string file = "C:\\windows\\temp\\outside-" + std::to_string(GetCurrentProcessId()) + ".reg";
  for (const auto& [root, name] : {std::pair<HKEY, std::string>{HKEY_LOCAL_MACHINE, "HKLM "}, {HKEY_CURRENT_USER, "HKCU "}}) {
    HKEY key = nullptr;
    DeleteFileA(file.c_str());
    if (!privileged || RegOpenKeyExA(root, "SOFTWARE", 0, KEY_READ, &key) != ERROR_SUCCESS || RegSaveKeyA(key, file.c_str(), nullptr) != ERROR_SUCCESS)
      throw std::runtime_error("cannot save " + name + "SOFTWARE");
    (kRealSyscalls.RegCloseKey)(key);
    // Wine saves its own text, in the order of its keys: a line per key
    // ("[key] time") and value, and the key's "#time=".
    const std::string text = ReadFile(file).value_or("");
    bool excluded = false;
    for (size_t start = 0, end; start < text.size(); start = end + 1) {
      end = std::min(text.find('\n', start), text.size());
      if (text[start] == '[' && !(excluded = Excluded(name + text.substr(start, 40))))
        lines += name, lines.append(text, start, text.rfind(']', end) + 1 - start), lines += '\n';
      else if (text[start] != '[' && !excluded && text.compare(start, 6, "#time=") != 0)
        lines.append(text, start, end - start + 1);
    }
  }
  DeleteFileA(file.c_str());
  return lines;
}

// The C runtime opens files by their code-page names, with sharing.
void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream file(path, std::ios::binary);
  if (!(file << content)) throw std::runtime_error("cannot write " + path);
}

std::optional<std::string> ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  if (!file) return std::nullopt;
  std::string content(static_cast<size_t>(file.tellg()), '\0');
  file.seekg(0).read(&content[0], static_cast<std::streamsize>(content.size()));
  return content;
}

void MakeFolders(const std::string& path) { SHCreateDirectoryExA(nullptr, path.c_str(), nullptr); }

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

std::map<std::string, std::string> Tree(const std::string& folder, bool contents) {
  std::map<std::string, std::string> tree;
  WIN32_FIND_DATAA entry;
  HANDLE search = (kRealSyscalls.FindFirstFileA)((folder + "\\*.*").c_str(), &entry);
  for (bool more = search != INVALID_HANDLE_VALUE; more; more = (kRealSyscalls.FindNextFileA)(search, &entry)) {
    const std::string name = entry.cFileName, path = folder + "\\" + name;
    if (name == "." || name == "..") continue;
    const bool isFolder = entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
    tree[path] = isFolder  ? "<folder>"
                 : contents ? ReadFile(path).value_or("")
                            : std::to_string(entry.nFileSizeLow) + " " + std::to_string(entry.ftLastWriteTime.dwLowDateTime);
    if (isFolder) tree.merge(Tree(path, contents));
  }
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  return tree;
}

void RemoveTree(const std::string& path) {
  for (const std::string& name : Names(path)) {
    const std::string child = path + "\\" + name;
    SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!DeleteFileA(child.c_str())) RemoveTree(child);
  }
  RemoveDirectoryA(path.c_str());
}

void MakeGoldenFolders(const std::string& data) {
  for (const std::string folder : {"2008\\Drv", "2008\\Fonts", "2010\\Fonts", "Mechanical 2010\\Fonts", "2014\\Fonts", "2018\\Fonts"}) {
    MakeFolders("C:\\e2e-acad\\AutoCAD " + folder);
    WriteFile("C:\\e2e-acad\\AutoCAD " + folder + "\\..\\acad.exe", "AutoCAD's own");
  }
  const std::string payload = std::string(SETUP_CASES_DIR) + "\\payload\\";
  MakeFolders(data + "\\docs");
  for (const std::string& name : Names(payload)) CopyFileA((payload + name).c_str(), (data + "\\" + name).c_str(), FALSE);
}
