// Seams that both backends offer to the tests: who answers a message box,
// and which path the program believes it was started from.
#pragma once

#include <functional>

#include "win_api.h"

struct MessageBoxCall {
  HWND owner;
  const char* text;
  const char* caption;
  UINT style;
};

// Installs an answerer for every following message box; an empty function
// gives the boxes back to the system (win32) or answers IDOK (host).
void SeamSetMessageBoxAnswerer(std::function<int(const MessageBoxCall&)> answerer);

// Makes GetModuleFileNameA(NULL, ...) report this path; nullptr restores the
// real one (win32) or the empty path (host).
void SeamSetProgramPath(const char* path);
