// Helpers of the reliability suite: raw registry values, a thread with a small
// stack, and the emulated disk seen from Linux, where paths have no limit.
#pragma once

#include <gtest/gtest.h>
#include <pthread.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "afx.h"
#include "host_test_api.h"

namespace reliability {

inline std::string Join(const CStringArray& list) {
  std::string text;
  for (int i = 0; i < list.GetSize(); ++i) text += (i ? "|" : "") + list[i].str();
  return text;
}

// "" when the texts are equal; otherwise where they first differ, with a
// short piece of each from there (for texts too long to print whole).
inline std::string TextDifference(const std::string& expected, const std::string& actual) {
  if (expected == actual) return "";
  size_t at = 0;
  while (at < expected.size() && at < actual.size() && expected[at] == actual[at]) ++at;
  return "sizes " + std::to_string(expected.size()) + " and " + std::to_string(actual.size()) + ", first difference at " +
         std::to_string(at) + ": expected \"" + expected.substr(at, 40) + "\", found \"" + actual.substr(at, 40) + "\"";
}

// A value of any type with exactly these bytes (no terminator added).
inline void RegWriteRaw(HKEY root, const std::string& key, const std::string& name, DWORD type,
                        const std::string& bytes) {
  HKEY handle = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(root, key.c_str(), &handle)) << key;
  EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(handle, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                                          static_cast<DWORD>(bytes.size())));
  RegCloseKey(handle);
}

inline std::string Dword(DWORD value) {
  const char bytes[4] = {static_cast<char>(value), static_cast<char>(value >> 8), static_cast<char>(value >> 16),
                         static_cast<char>(value >> 24)};
  return std::string(bytes, 4);
}

// Runs work on a thread whose stack holds stackBytes, and waits for it.
inline void RunWithStack(size_t stackBytes, const std::function<void()>& work) {
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  ASSERT_EQ(0, pthread_attr_setstacksize(&attributes, stackBytes));
  pthread_t thread;
  auto body = [](void* argument) -> void* {
    (*static_cast<const std::function<void()>*>(argument))();
    return nullptr;
  };
  ASSERT_EQ(0, pthread_create(&thread, &attributes, body, const_cast<std::function<void()>*>(&work)));
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attributes);
}

// The Linux path of windowsFolder\relative; relative may make the whole
// path longer than any Windows call accepts.
inline std::filesystem::path DiskPath(const std::string& windowsFolder, const std::string& relative = "") {
  const std::string onLinux = host::HostPathOf(windowsFolder.c_str());
  EXPECT_FALSE(onLinux.empty()) << windowsFolder;
  std::string below = relative;
  std::replace(below.begin(), below.end(), '\\', '/');
  return below.empty() ? std::filesystem::path(onLinux) : std::filesystem::path(onLinux) / below;
}

inline void MakeDiskFolders(const std::string& windowsFolder, const std::string& relative) {
  std::filesystem::create_directories(DiskPath(windowsFolder, relative));
}

inline void WriteDiskFile(const std::string& windowsFolder, const std::string& relative, const std::string& content) {
  std::ofstream file(DiskPath(windowsFolder, relative), std::ios::binary | std::ios::trunc);
  ASSERT_TRUE(file) << relative;
  file << content;
}

// Every file and folder below windowsFolder, as relative paths with
// backslashes, sorted: a file made at a cut path shows up here.
inline std::vector<std::string> DiskTree(const std::string& windowsFolder) {
  std::vector<std::string> entries;
  const std::filesystem::path top = DiskPath(windowsFolder);
  for (const auto& entry : std::filesystem::recursive_directory_iterator(top)) {
    std::string relative = entry.path().lexically_relative(top).string();
    std::replace(relative.begin(), relative.end(), '/', '\\');
    entries.push_back(relative);
  }
  std::sort(entries.begin(), entries.end());
  return entries;
}

// A name of exactly length characters: prefix, then fill.
inline std::string Named(const std::string& prefix, size_t length, char fill = 'x') {
  return prefix.size() >= length ? prefix.substr(0, length) : prefix + std::string(length - prefix.size(), fill);
}

}  // namespace reliability
