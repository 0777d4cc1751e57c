// Bounded formatting into the program's fixed buffers: 260 bytes for paths
// and registry key names, 13,000 for the trusted-path list. A text that does
// not fit is never cut: the buffer is left empty and the result is false, so
// that no caller writes to a truncated path or stores a truncated list.
#pragma once

#include "cstring.h"

constexpr int kPathBufferSize = 260;
constexpr int kTextBufferSize = 13000;

bool FormatPath260(char (&buffer)[kPathBufferSize], const char* format, ...) SETUP_PRINTF_FORMAT(2, 3);
bool FormatText13000(char (&buffer)[kTextBufferSize], const char* format, ...) SETUP_PRINTF_FORMAT(2, 3);
