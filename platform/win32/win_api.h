// The Win32 operations the program calls: the real API, with the two seams
// the tests need (a message-box answerer and the program's own path).
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <direct.h>
#include <io.h>
#include <tlhelp32.h>

// Shows a message box, or hands it to the answerer a test installed.
int WINAPI SeamMessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType);
// The program's own path, or the one a test set.
DWORD WINAPI SeamGetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize);

// The framework's one message for every colour request (WM_CTLCOLORxxx).
#define WM_CTLCOLOR 0x0019

#undef MessageBox
#define MessageBoxA SeamMessageBoxA
#define GetModuleFileNameA SeamGetModuleFileNameA
