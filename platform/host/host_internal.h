// Shared between the host backend's files: fault injection, call hooks and
// the reset of each part of the emulated machine.
#pragma once

#include <string>

#include "win_api.h"

namespace host {

// Runs the operation's hook, then says whether this call must fail; on true
// the last error is already set to *error.
bool EnterCall(const char* operation, LONG* error);

// Name comparison as Windows does it for file and key names: ASCII letters
// without case, double-byte characters byte for byte.
std::string FoldCase(const std::string& name);

void ResetRegistry();
void ResetFiles();
void ResetProcesses();
void ResetWindows();

}  // namespace host
