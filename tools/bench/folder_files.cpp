// Emptying and counting the files below a folder, recursively.
#include "folder_files.h"

#include <windows.h>

#include <functional>
#include <stdexcept>

namespace bench {
namespace {

std::wstring Widen(const std::string& utf8) {
  int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring text(static_cast<size_t>(length), L'\0');
  if (length > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &text[0], length);
  return text;
}

std::string Narrow(const std::wstring& utf16) {
  int length = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), nullptr, 0, nullptr,
                                   nullptr);
  std::string text(static_cast<size_t>(length), '\0');
  if (length > 0)
    WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), &text[0], length, nullptr, nullptr);
  return text;
}

// Calls visit with the path of every file below folder.
void ForEachFile(const std::wstring& folder, const std::function<void(const std::wstring&)>& visit) {
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    std::wstring name = entry.cFileName;
    if (name == L"." || name == L"..") continue;
    std::wstring path = folder + L"\\" + name;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      ForEachFile(path, visit);
    else
      visit(path);
  } while (FindNextFileW(search, &entry));
  FindClose(search);
}

}  // namespace

std::string ExpandFolder(const std::string& folder) {
  std::wstring wide = Widen(folder);
  DWORD length = ExpandEnvironmentStringsW(wide.c_str(), nullptr, 0);
  if (length == 0) return folder;
  std::wstring expanded(length, L'\0');
  length = ExpandEnvironmentStringsW(wide.c_str(), &expanded[0], length);
  expanded.resize(length > 0 ? length - 1 : 0);
  return Narrow(expanded);
}

int DeleteFilesBelow(const std::string& folder) {
  int deleted = 0;
  ForEachFile(Widen(folder), [&](const std::wstring& path) {
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!DeleteFileW(path.c_str()))
      throw std::runtime_error("cannot delete " + Narrow(path) + ": error " + std::to_string(GetLastError()));
    ++deleted;
  });
  return deleted;
}

int CountFilesBelow(const std::string& folder) {
  int count = 0;
  ForEachFile(Widen(folder), [&](const std::wstring&) { ++count; });
  return count;
}

}  // namespace bench
