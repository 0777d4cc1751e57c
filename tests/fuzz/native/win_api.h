// The few Win32 names the double-byte walking code needs, for its native
// fuzz build: code page 936's lead-byte test, and the two file calls of the
// folder check's create mode, which a check-mode run must never reach.
#pragma once

#include <cstdlib>

typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned long DWORD;
#define TRUE 1
#define FALSE 0

inline BOOL IsDBCSLeadByte(BYTE ch) { return ch >= 0x81 && ch <= 0xFE; }
inline BOOL CreateDirectoryA(const char*, void*) { abort(); }
inline int _access(const char*, int) { abort(); }
