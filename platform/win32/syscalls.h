// The system calls by which the logic reads or changes the machine, which a
// test must be able to make fail, as one table of function pointers: named
// entries, the real functions until a test replaces one. The program itself
// never changes the table.
#pragma once

#include <windows.h>
#include <shellapi.h>
#include <tlhelp32.h>

#define SETUP_SYSCALLS(X) \
  X(RegOpenKeyA)          \
  X(RegOpenKeyExA)        \
  X(RegCreateKeyA)        \
  X(RegQueryInfoKeyA)     \
  X(RegEnumKeyExA)        \
  X(RegQueryValueExA)     \
  X(RegQueryValueExW)     \
  X(RegSetValueExA)       \
  X(RegDeleteKeyA)        \
  X(RegCloseKey)          \
  X(CreateToolhelp32Snapshot) \
  X(Process32First)       \
  X(Process32Next)        \
  X(FindFirstFileA)       \
  X(FindNextFileA)        \
  X(GetFileAttributesA)   \
  X(SetFileAttributesA)   \
  X(CreateDirectoryA)     \
  X(DeleteFileA)          \
  X(CopyFileA)            \
  X(GetFullPathNameA)     \
  X(GetModuleFileNameA)   \
  X(GetEnvironmentVariableA) \
  X(MessageBoxA)          \
  X(ShellExecuteA)

struct SyscallTable {
#define SETUP_SYSCALL_ENTRY(name) decltype(&::name) name;
  SETUP_SYSCALLS(SETUP_SYSCALL_ENTRY)
#undef SETUP_SYSCALL_ENTRY
};

// What the program calls.
extern SyscallTable g_syscalls;
// The real functions, for a replacement that passes calls on.
extern const SyscallTable kRealSyscalls;
// Puts every entry back to the real function.
void RestoreSyscalls();
