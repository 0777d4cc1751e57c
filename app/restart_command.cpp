// The restart command line: "/continue:" with one digit per release (1:
// ticked, 2007 first) and the folder in quotes. A folder holds no quote, and
// has no trailing backslash that could be read as escaping one.
#include "restart_command.h"

#include <cstring>

namespace {
const char kSwitch[] = "/continue:";
constexpr size_t kSwitchLength = sizeof kSwitch - 1;
}  // namespace

CString FormatRestartParameters(const bool (&ticked)[kReleaseCount], const CString& folder) {
  CString parameters(kSwitch);
  for (bool release : ticked) parameters += release ? '1' : '0';
  return parameters + " \"" + folder + "\"";
}

bool ParseRestartCommandLine(const char* commandLine, bool (&ticked)[kReleaseCount], CString& folder) {
  // The program's path: in quotes, or up to the first blank.
  const char* at = commandLine;
  if (*at == '"') {
    at = strchr(at + 1, '"');
    if (at == nullptr) return false;
    ++at;
  } else {
    while (*at != '\0' && *at != ' ' && *at != '\t') ++at;
  }
  while (*at == ' ' || *at == '\t') ++at;
  if (strncmp(at, kSwitch, kSwitchLength) != 0) return false;
  at += kSwitchLength;
  bool digits[kReleaseCount];
  for (bool& digit : digits) {
    if (*at != '0' && *at != '1') return false;
    digit = *at++ == '1';
  }
  if (strncmp(at, " \"", 2) != 0) return false;
  at += 2;
  const char* end = strchr(at, '"');
  // A folder of 1 to 259 characters, and nothing but blanks after its quote.
  if (end == nullptr || end == at || end - at >= kPathBufferSize || end[1 + strspn(end + 1, " \t")] != '\0')
    return false;
  CString chosen(at, static_cast<int>(end - at));
  if (chosen.Right(1) == "\\") return false;
  // A drive's root travels without its backslash, and is shown with it.
  if (chosen.GetLength() == 2 && chosen[1] == ':') chosen += '\\';
  folder = chosen;
  memcpy(ticked, digits, sizeof digits);
  return true;
}
