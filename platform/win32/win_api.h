// The Win32 operations the program calls: the real API, with the calls a test
// may make fail routed through the call table (win32/syscalls.h).
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <direct.h>
#include <io.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include "syscalls.h"

// The framework's one message for every colour request (WM_CTLCOLORxxx).
#define WM_CTLCOLOR 0x0019

#undef MessageBox
// Calls of these names go through the table. The macros take arguments, so
// that the table's own entries keep their names; a test calls the real
// function as (kRealSyscalls.RegOpenKeyA)(...).
#define RegOpenKeyA(...) (g_syscalls.RegOpenKeyA)(__VA_ARGS__)
#define RegOpenKeyExA(...) (g_syscalls.RegOpenKeyExA)(__VA_ARGS__)
#define RegCreateKeyA(...) (g_syscalls.RegCreateKeyA)(__VA_ARGS__)
#define RegQueryInfoKeyA(...) (g_syscalls.RegQueryInfoKeyA)(__VA_ARGS__)
#define RegEnumKeyExA(...) (g_syscalls.RegEnumKeyExA)(__VA_ARGS__)
#define RegQueryValueExA(...) (g_syscalls.RegQueryValueExA)(__VA_ARGS__)
#define RegQueryValueExW(...) (g_syscalls.RegQueryValueExW)(__VA_ARGS__)
#define RegSetValueExA(...) (g_syscalls.RegSetValueExA)(__VA_ARGS__)
#define RegDeleteKeyA(...) (g_syscalls.RegDeleteKeyA)(__VA_ARGS__)
#define RegCloseKey(...) (g_syscalls.RegCloseKey)(__VA_ARGS__)
#define CreateToolhelp32Snapshot(...) (g_syscalls.CreateToolhelp32Snapshot)(__VA_ARGS__)
#define Process32First(...) (g_syscalls.Process32First)(__VA_ARGS__)
#define Process32Next(...) (g_syscalls.Process32Next)(__VA_ARGS__)
#define FindFirstFileA(...) (g_syscalls.FindFirstFileA)(__VA_ARGS__)
#define FindNextFileA(...) (g_syscalls.FindNextFileA)(__VA_ARGS__)
#define GetFileAttributesA(...) (g_syscalls.GetFileAttributesA)(__VA_ARGS__)
#define SetFileAttributesA(...) (g_syscalls.SetFileAttributesA)(__VA_ARGS__)
#define CreateDirectoryA(...) (g_syscalls.CreateDirectoryA)(__VA_ARGS__)
#define DeleteFileA(...) (g_syscalls.DeleteFileA)(__VA_ARGS__)
#define CopyFileA(...) (g_syscalls.CopyFileA)(__VA_ARGS__)
#define GetFullPathNameA(...) (g_syscalls.GetFullPathNameA)(__VA_ARGS__)
#define GetModuleFileNameA(...) (g_syscalls.GetModuleFileNameA)(__VA_ARGS__)
#define GetEnvironmentVariableA(...) (g_syscalls.GetEnvironmentVariableA)(__VA_ARGS__)
#define MessageBoxA(...) (g_syscalls.MessageBoxA)(__VA_ARGS__)
#define ShellExecuteA(...) (g_syscalls.ShellExecuteA)(__VA_ARGS__)
