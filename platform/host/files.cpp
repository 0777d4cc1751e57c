// The file system of the host emulation: drive letters mapped onto Linux
// folders, names looked up without case, the read-only, hidden and archive
// attributes kept by the emulation (so that they hold even for root), the
// download-mark stream kept beside its file, and listings that start with
// "." and ".." and never show a stream.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

#include "host_internal.h"
#include "host_test_api.h"

namespace host {
namespace {

constexpr DWORD kStoredAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

struct Search {
  std::vector<WIN32_FIND_DATAA> entries;
  size_t next = 0;
};

struct FileSystem {
  std::map<char, std::string> drives;          // 'C' -> Linux folder
  std::map<std::string, DWORD> attributes;     // Linux path -> stored attribute bits
  std::map<uintptr_t, std::unique_ptr<Search>> searches;
  uintptr_t nextSearch = 0x5000;
  std::string currentDirectory = "C:\\";
  int calls = 0;
};

FileSystem& Fs() {
  static FileSystem fs;
  return fs;
}

// A Windows path taken apart: the Linux path of its longest existing
// prefix, the names below that do not exist, and an optional stream name.
struct Resolved {
  LONG error = ERROR_SUCCESS;
  char drive = 0;
  std::vector<std::string> names;  // components after the root, as found on disk where they exist
  size_t existing = 0;             // how many of names exist
  std::string stream;              // "Zone.Identifier" for "file:Zone.Identifier"
  std::string hostRoot;
  bool Exists() const { return error == ERROR_SUCCESS && existing == names.size(); }
  bool IsRoot() const { return names.empty(); }
  std::string HostPath() const {
    std::string path = hostRoot;
    for (const std::string& name : names) path += "/" + name;
    return path;
  }
  std::string HostParent() const {
    std::string path = hostRoot;
    for (size_t i = 0; i + 1 < names.size(); ++i) path += "/" + names[i];
    return path;
  }
  bool ParentExists() const { return error == ERROR_SUCCESS && existing + 1 >= names.size(); }
};

bool IsSeparator(char ch) { return ch == '\\' || ch == '/'; }

bool HasForbiddenCharacter(const std::string& name, bool allowWildcards) {
  for (size_t pos = 0; pos < name.size(); ++pos) {
    unsigned char ch = static_cast<unsigned char>(name[pos]);
    if (IsDBCSLeadByte(ch)) {
      ++pos;  // a trail byte may look like '|' but is part of a character
      continue;
    }
    if (ch < 32 || ch == '<' || ch == '>' || ch == '"' || ch == '|') return true;
    if (!allowWildcards && (ch == '*' || ch == '?')) return true;
  }
  return false;
}

std::string FindOnDisk(const std::string& folder, const std::string& name) {
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return std::string();
  std::string wanted = FoldCase(name), found;
  while (dirent* entry = readdir(dir)) {
    std::string candidate = entry->d_name;
    if (candidate == "." || candidate == "..") continue;
    if (FoldCase(candidate) == wanted) {
      found = candidate;
      break;
    }
  }
  closedir(dir);
  return found;
}

bool IsFolder(const std::string& hostPath) {
  struct stat info;
  return stat(hostPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

Resolved Resolve(const char* path, bool allowWildcards = false) {
  Resolved result;
  if (path == nullptr || path[0] == '\0') {
    result.error = ERROR_PATH_NOT_FOUND;
    return result;
  }
  std::string full = path;
  if (full.size() >= MAX_PATH) {
    result.error = ERROR_FILENAME_EXCED_RANGE;
    return result;
  }
  if (IsSeparator(full[0]) && full.size() > 1 && IsSeparator(full[1])) {
    result.error = ERROR_BAD_PATHNAME;  // network paths are not part of the emulated machine
    return result;
  }
  const std::string& cwd = Fs().currentDirectory;
  if (IsSeparator(full[0])) {
    full = cwd.substr(0, 2) + full;
  } else if (full.size() < 2 || full[1] != ':') {
    full = cwd + "\\" + full;
  }
  result.drive = static_cast<char>(toupper(static_cast<unsigned char>(full[0])));
  auto drive = Fs().drives.find(result.drive);
  if (drive == Fs().drives.end()) {
    result.error = ERROR_PATH_NOT_FOUND;
    return result;
  }
  result.hostRoot = drive->second;

  // Split into names; "." and ".." are resolved and trailing dots and
  // spaces dropped, as Windows normalises a path.
  std::vector<std::string> names;
  std::string current;
  for (size_t pos = 2; pos <= full.size(); ++pos) {
    if (pos + 1 < full.size() && IsDBCSLeadByte(static_cast<BYTE>(full[pos]))) {
      // A double-byte character: its trail byte never separates names.
      current += full[pos++];
      current += full[pos];
    } else if (pos == full.size() || IsSeparator(full[pos])) {
      while (!current.empty() && (current.back() == '.' || current.back() == ' ') && current != "." &&
             current != "..")
        current.pop_back();
      if (current == "..") {
        if (!names.empty()) names.pop_back();
      } else if (!current.empty() && current != ".") {
        names.push_back(current);
      }
      current.clear();
    } else {
      current += full[pos];
    }
  }
  if (!names.empty()) {
    size_t colon = names.back().find(':');
    if (colon != std::string::npos) {
      result.stream = names.back().substr(colon + 1);
      names.back().erase(colon);
      if (result.stream.find(':') != std::string::npos || names.back().empty()) {
        result.error = ERROR_INVALID_NAME;
        return result;
      }
    }
  }
  for (size_t i = 0; i < names.size(); ++i) {
    bool last = i + 1 == names.size();
    if (names[i].find(':') != std::string::npos || HasForbiddenCharacter(names[i], allowWildcards && last)) {
      result.error = ERROR_INVALID_NAME;
      return result;
    }
  }
  std::string folder = result.hostRoot;
  result.names = names;
  for (size_t i = 0; i < names.size(); ++i) {
    std::string onDisk = FindOnDisk(folder, names[i]);
    if (onDisk.empty()) break;
    result.names[i] = onDisk;
    folder += "/" + onDisk;
    ++result.existing;
    if (i + 1 < names.size() && !IsFolder(folder)) break;
  }
  return result;
}

// Counts the call, runs its hook and injected fault.
bool Enter(const char* operation, LONG* error) {
  ++Fs().calls;
  return EnterCall(operation, error);
}

template <typename T>
T Fail(LONG error, T result) {
  SetLastError(static_cast<DWORD>(error));
  return result;
}

DWORD StoredAttributes(const std::string& hostPath) {
  auto found = Fs().attributes.find(hostPath);
  return found == Fs().attributes.end() ? FILE_ATTRIBUTE_ARCHIVE : found->second;
}

DWORD AttributesOf(const std::string& hostPath) {
  DWORD attributes = StoredAttributes(hostPath);
  if (IsFolder(hostPath)) attributes = (attributes & ~FILE_ATTRIBUTE_ARCHIVE) | FILE_ATTRIBUTE_DIRECTORY;
  return attributes;
}

std::string StreamPath(const std::string& hostPath, const std::string& stream) { return hostPath + ":" + stream; }

bool CopyBytes(const std::string& from, const std::string& to) {
  int in = open(from.c_str(), O_RDONLY);
  if (in < 0) return false;
  int out = open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (out < 0) {
    close(in);
    return false;
  }
  char buffer[65536];
  bool ok = true;
  for (ssize_t got; (got = read(in, buffer, sizeof buffer)) != 0;) {
    if (got < 0 || write(out, buffer, static_cast<size_t>(got)) != got) {
      ok = false;
      break;
    }
  }
  close(in);
  close(out);
  return ok;
}

bool MatchesPattern(const std::string& name, const std::string& pattern) {
  if (pattern == "*" || pattern == "*.*") return true;
  std::string n = FoldCase(name), p = FoldCase(pattern);
  // Iterative wildcard match with backtracking to the last '*'.
  size_t ni = 0, pi = 0, star = std::string::npos, mark = 0;
  while (ni < n.size()) {
    if (pi < p.size() && (p[pi] == '?' || p[pi] == n[ni])) {
      ++ni;
      ++pi;
    } else if (pi < p.size() && p[pi] == '*') {
      star = pi++;
      mark = ni;
    } else if (star != std::string::npos) {
      pi = star + 1;
      ni = ++mark;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == '*') ++pi;
  return pi == p.size();
}

WIN32_FIND_DATAA EntryData(const std::string& name, const std::string& hostPath) {
  WIN32_FIND_DATAA data;
  memset(&data, 0, sizeof data);
  data.dwFileAttributes = AttributesOf(hostPath);
  struct stat info;
  if (stat(hostPath.c_str(), &info) == 0 && !S_ISDIR(info.st_mode)) {
    data.nFileSizeLow = static_cast<DWORD>(info.st_size & 0xffffffffu);
    data.nFileSizeHigh = static_cast<DWORD>(static_cast<uint64_t>(info.st_size) >> 32);
  }
  name.copy(data.cFileName, MAX_PATH - 1);
  return data;
}

bool IsReservedDeviceName(const std::string& name) {
  std::string base = FoldCase(name.substr(0, name.find('.')));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL"};
  for (const char* device : kDevices)
    if (base == device) return true;
  return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
         base[3] >= '1' && base[3] <= '9';
}

}  // namespace

void ResetFiles() {
  Fs() = FileSystem();
}

void MapDrive(char letter, const std::string& hostFolder) {
  Fs().drives[static_cast<char>(toupper(static_cast<unsigned char>(letter)))] = hostFolder;
}

std::string HostPathOf(const char* windowsPath) {
  Resolved resolved = Resolve(windowsPath);
  if (resolved.error != ERROR_SUCCESS) return std::string();
  std::string path = resolved.HostPath();
  return resolved.stream.empty() ? path : StreamPath(path, resolved.stream);
}

int FileSystemCallCount() { return Fs().calls; }

int OpenSearchHandleCount() { return static_cast<int>(Fs().searches.size()); }

}  // namespace host

using host::Resolved;

HANDLE FindFirstFileA(LPCSTR lpFileName, LPWIN32_FIND_DATAA lpFindFileData) {
  LONG error = 0;
  if (host::Enter("FindFirstFileA", &error)) return INVALID_HANDLE_VALUE;
  std::string pattern = lpFileName ? lpFileName : "";
  if (pattern.empty() || host::IsSeparator(pattern.back()))
    return host::Fail(ERROR_FILE_NOT_FOUND, INVALID_HANDLE_VALUE);
  Resolved resolved = host::Resolve(lpFileName, true);
  if (resolved.error != ERROR_SUCCESS) return host::Fail(resolved.error, INVALID_HANDLE_VALUE);
  if (resolved.IsRoot() || !resolved.stream.empty()) return host::Fail(ERROR_FILE_NOT_FOUND, INVALID_HANDLE_VALUE);
  if (!resolved.ParentExists()) return host::Fail(ERROR_PATH_NOT_FOUND, INVALID_HANDLE_VALUE);
  std::string folder = resolved.HostParent();
  if (!host::IsFolder(folder)) return host::Fail(ERROR_PATH_NOT_FOUND, INVALID_HANDLE_VALUE);

  auto search = std::make_unique<host::Search>();
  const std::string& last = resolved.names.back();
  if (last.find_first_of("*?") == std::string::npos) {
    if (!resolved.Exists()) return host::Fail(ERROR_FILE_NOT_FOUND, INVALID_HANDLE_VALUE);
    search->entries.push_back(host::EntryData(last, resolved.HostPath()));
  } else {
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
      while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name != "." && name != ".." && name.find(':') == std::string::npos) names.push_back(name);
      }
      closedir(dir);
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
      return host::FoldCase(a) < host::FoldCase(b);
    });
    // A drive's root folder has no "." and ".." entries; every other folder lists them first.
    if (resolved.names.size() > 1) {
      for (const char* dots : {".", ".."})
        if (host::MatchesPattern(dots, last)) search->entries.push_back(host::EntryData(dots, folder));
    }
    for (const std::string& name : names)
      if (host::MatchesPattern(name, last)) search->entries.push_back(host::EntryData(name, folder + "/" + name));
  }
  if (search->entries.empty()) return host::Fail(ERROR_FILE_NOT_FOUND, INVALID_HANDLE_VALUE);
  *lpFindFileData = search->entries[0];
  search->next = 1;
  uintptr_t handle = host::Fs().nextSearch;
  host::Fs().nextSearch += 4;
  host::Fs().searches[handle] = std::move(search);
  return reinterpret_cast<HANDLE>(handle);
}

BOOL FindNextFileA(HANDLE hFindFile, LPWIN32_FIND_DATAA lpFindFileData) {
  LONG error = 0;
  if (host::Enter("FindNextFileA", &error)) return FALSE;
  auto found = host::Fs().searches.find(reinterpret_cast<uintptr_t>(hFindFile));
  if (found == host::Fs().searches.end()) return host::Fail(ERROR_INVALID_HANDLE, FALSE);
  host::Search& search = *found->second;
  if (search.next >= search.entries.size()) return host::Fail(ERROR_NO_MORE_FILES, FALSE);
  *lpFindFileData = search.entries[search.next++];
  return TRUE;
}

BOOL FindClose(HANDLE hFindFile) {
  LONG error = 0;
  if (host::EnterCall("FindClose", &error)) return FALSE;
  return host::Fs().searches.erase(reinterpret_cast<uintptr_t>(hFindFile)) ? TRUE
                                                                            : host::Fail(ERROR_INVALID_HANDLE, FALSE);
}

DWORD GetFileAttributesA(LPCSTR lpFileName) {
  LONG error = 0;
  if (host::Enter("GetFileAttributesA", &error)) return INVALID_FILE_ATTRIBUTES;
  Resolved resolved = host::Resolve(lpFileName);
  if (resolved.error != ERROR_SUCCESS) return host::Fail(resolved.error, INVALID_FILE_ATTRIBUTES);
  if (!resolved.Exists())
    return host::Fail(resolved.ParentExists() ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND, INVALID_FILE_ATTRIBUTES);
  if (!resolved.stream.empty()) {
    if (access(host::StreamPath(resolved.HostPath(), resolved.stream).c_str(), F_OK) != 0)
      return host::Fail(ERROR_FILE_NOT_FOUND, INVALID_FILE_ATTRIBUTES);
    return FILE_ATTRIBUTE_ARCHIVE;
  }
  return host::AttributesOf(resolved.HostPath());
}

BOOL SetFileAttributesA(LPCSTR lpFileName, DWORD dwFileAttributes) {
  LONG error = 0;
  if (host::Enter("SetFileAttributesA", &error)) return FALSE;
  Resolved resolved = host::Resolve(lpFileName);
  if (resolved.error != ERROR_SUCCESS) return host::Fail(resolved.error, FALSE);
  if (!resolved.Exists() || resolved.IsRoot())
    return host::Fail(resolved.ParentExists() ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND, FALSE);
  host::Fs().attributes[resolved.HostPath()] = dwFileAttributes & host::kStoredAttributes;
  return TRUE;
}

BOOL CopyFileA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName, BOOL bFailIfExists) {
  LONG error = 0;
  if (host::Enter("CopyFileA", &error)) return FALSE;
  Resolved source = host::Resolve(lpExistingFileName);
  if (source.error != ERROR_SUCCESS) return host::Fail(source.error, FALSE);
  if (!source.Exists())
    return host::Fail(source.ParentExists() ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND, FALSE);
  std::string from = source.HostPath();
  if (source.IsRoot() || host::IsFolder(from)) return host::Fail(ERROR_ACCESS_DENIED, FALSE);

  Resolved target = host::Resolve(lpNewFileName);
  if (target.error != ERROR_SUCCESS) return host::Fail(target.error, FALSE);
  if (target.IsRoot()) return host::Fail(ERROR_ACCESS_DENIED, FALSE);
  if (!target.ParentExists() || !host::IsFolder(target.HostParent())) return host::Fail(ERROR_PATH_NOT_FOUND, FALSE);
  std::string to = target.HostPath();
  if (target.Exists()) {
    if (bFailIfExists) return host::Fail(ERROR_FILE_EXISTS, FALSE);
    // Windows refuses to replace a folder, a read-only or a hidden file.
    if (host::IsFolder(to) || (host::StoredAttributes(to) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN)))
      return host::Fail(ERROR_ACCESS_DENIED, FALSE);
  }
  if (from == to) return host::Fail(ERROR_SHARING_VIOLATION, FALSE);
  if (!host::CopyBytes(from, to)) return host::Fail(ERROR_ACCESS_DENIED, FALSE);
  // The copy carries the source's attributes and its streams, as on NTFS.
  host::Fs().attributes[to] = host::StoredAttributes(from) | FILE_ATTRIBUTE_ARCHIVE;
  std::string streamFrom = host::StreamPath(from, "Zone.Identifier");
  std::string streamTo = host::StreamPath(to, "Zone.Identifier");
  if (access(streamFrom.c_str(), F_OK) == 0)
    host::CopyBytes(streamFrom, streamTo);
  else
    unlink(streamTo.c_str());
  return TRUE;
}

BOOL DeleteFileA(LPCSTR lpFileName) {
  LONG error = 0;
  if (host::Enter("DeleteFileA", &error)) return FALSE;
  Resolved resolved = host::Resolve(lpFileName);
  if (resolved.error != ERROR_SUCCESS) return host::Fail(resolved.error, FALSE);
  if (!resolved.Exists())
    return host::Fail(resolved.ParentExists() ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND, FALSE);
  std::string path = resolved.HostPath();
  if (!resolved.stream.empty()) {
    if (unlink(host::StreamPath(path, resolved.stream).c_str()) != 0) return host::Fail(ERROR_FILE_NOT_FOUND, FALSE);
    return TRUE;
  }
  if (resolved.IsRoot() || host::IsFolder(path)) return host::Fail(ERROR_ACCESS_DENIED, FALSE);
  if (host::StoredAttributes(path) & FILE_ATTRIBUTE_READONLY) return host::Fail(ERROR_ACCESS_DENIED, FALSE);
  if (unlink(path.c_str()) != 0) return host::Fail(ERROR_ACCESS_DENIED, FALSE);
  unlink(host::StreamPath(path, "Zone.Identifier").c_str());
  host::Fs().attributes.erase(path);
  return TRUE;
}

BOOL CreateDirectoryA(LPCSTR lpPathName, LPSECURITY_ATTRIBUTES) {
  LONG error = 0;
  if (host::Enter("CreateDirectoryA", &error)) return FALSE;
  Resolved resolved = host::Resolve(lpPathName);
  if (resolved.error != ERROR_SUCCESS) return host::Fail(resolved.error, FALSE);
  if (resolved.IsRoot()) return host::Fail(ERROR_ACCESS_DENIED, FALSE);
  if (!resolved.stream.empty()) return host::Fail(ERROR_INVALID_NAME, FALSE);
  if (resolved.Exists()) return host::Fail(ERROR_ALREADY_EXISTS, FALSE);
  if (!resolved.ParentExists() || !host::IsFolder(resolved.HostParent())) return host::Fail(ERROR_PATH_NOT_FOUND, FALSE);
  if (mkdir(resolved.HostPath().c_str(), 0755) != 0) return host::Fail(ERROR_ACCESS_DENIED, FALSE);
  return TRUE;
}

BOOL RemoveDirectoryA(LPCSTR lpPathName) {
  LONG error = 0;
  if (host::Enter("RemoveDirectoryA", &error)) return FALSE;
  Resolved resolved = host::Resolve(lpPathName);
  if (resolved.error != ERROR_SUCCESS) return host::Fail(resolved.error, FALSE);
  if (!resolved.Exists()) return host::Fail(ERROR_FILE_NOT_FOUND, FALSE);
  std::string path = resolved.HostPath();
  if (resolved.IsRoot()) return host::Fail(ERROR_ACCESS_DENIED, FALSE);
  if (!host::IsFolder(path)) return host::Fail(ERROR_DIRECTORY, FALSE);
  if (rmdir(path.c_str()) != 0) return host::Fail(errno == ENOTEMPTY ? ERROR_DIR_NOT_EMPTY : ERROR_ACCESS_DENIED, FALSE);
  host::Fs().attributes.erase(path);
  return TRUE;
}

int _mkdir(const char* dirname) {
  if (CreateDirectoryA(dirname, nullptr)) return 0;
  errno = GetLastError() == ERROR_ALREADY_EXISTS ? EEXIST : ENOENT;
  return -1;
}

int _access(const char* path, int mode) {
  LONG error = 0;
  if (host::Enter("_access", &error)) {
    errno = ENOENT;
    return -1;
  }
  Resolved resolved = host::Resolve(path);
  // A device name answers as present wherever its folder exists, as the C
  // runtime on Windows answers it.
  if (resolved.error == ERROR_SUCCESS && !resolved.names.empty() && resolved.ParentExists() &&
      host::IsReservedDeviceName(resolved.names.back()))
    return 0;
  if (!resolved.Exists() || (!resolved.stream.empty() &&
                             access(host::StreamPath(resolved.HostPath(), resolved.stream).c_str(), F_OK) != 0)) {
    errno = ENOENT;
    return -1;
  }
  if ((mode & 2) && (host::StoredAttributes(resolved.HostPath()) & FILE_ATTRIBUTE_READONLY) &&
      !host::IsFolder(resolved.HostPath())) {
    errno = EACCES;
    return -1;
  }
  return 0;
}

DWORD GetCurrentDirectoryA(DWORD nBufferLength, LPSTR lpBuffer) {
  const std::string& cwd = host::Fs().currentDirectory;
  if (cwd.size() + 1 > nBufferLength) return static_cast<DWORD>(cwd.size() + 1);
  memcpy(lpBuffer, cwd.c_str(), cwd.size() + 1);
  return static_cast<DWORD>(cwd.size());
}

BOOL SetCurrentDirectoryA(LPCSTR lpPathName) {
  Resolved resolved = host::Resolve(lpPathName);
  if (resolved.error != ERROR_SUCCESS) return host::Fail(resolved.error, FALSE);
  if (!resolved.Exists() || !host::IsFolder(resolved.HostPath())) return host::Fail(ERROR_PATH_NOT_FOUND, FALSE);
  std::string path(1, resolved.drive);
  path += ":";
  for (const std::string& name : resolved.names) path += "\\" + name;
  if (resolved.names.empty()) path += "\\";
  host::Fs().currentDirectory = path;
  return TRUE;
}
