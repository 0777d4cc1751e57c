// Fault injection and call hooks of the host emulation, after the model of a
// test VFS: a test makes the n-th call of a named operation fail.
#include <map>

#include "host_internal.h"
#include "host_test_api.h"
#include "seams.h"

namespace host {
namespace {

struct Fault {
  LONG error;
  int skip;
  int count;
};

std::map<std::string, Fault>& Faults() {
  static std::map<std::string, Fault> faults;
  return faults;
}

std::map<std::string, std::function<void()>>& Hooks() {
  static std::map<std::string, std::function<void()>> hooks;
  return hooks;
}

}  // namespace

void FailCalls(const std::string& operation, LONG error, int skip, int count) {
  Faults()[operation] = Fault{error, skip, count};
}

void SetCallHook(const std::string& operation, std::function<void()> hook) {
  Hooks()[operation] = std::move(hook);
}

bool EnterCall(const char* operation, LONG* error) {
  auto hook = Hooks().find(operation);
  if (hook != Hooks().end() && hook->second) {
    // A hook may call other emulated operations; copy it so that it can
    // replace itself safely.
    auto run = hook->second;
    run();
  }
  auto fault = Faults().find(operation);
  if (fault == Faults().end()) return false;
  if (fault->second.skip > 0) {
    --fault->second.skip;
    return false;
  }
  if (fault->second.count <= 0) return false;
  --fault->second.count;
  *error = fault->second.error;
  SetLastError(static_cast<DWORD>(*error));
  return true;
}

std::string FoldCase(const std::string& name) {
  std::string folded = name;
  for (size_t pos = 0; pos < folded.size(); ++pos) {
    unsigned char ch = static_cast<unsigned char>(folded[pos]);
    if (IsDBCSLeadByte(ch) && pos + 1 < folded.size()) {
      ++pos;
    } else if (ch >= 'a' && ch <= 'z') {
      folded[pos] = static_cast<char>(ch - 'a' + 'A');
    }
  }
  return folded;
}

void Reset() {
  Faults().clear();
  Hooks().clear();
  ResetRegistry();
  ResetFiles();
  ResetProcesses();
  ResetWindows();
  SeamSetMessageBoxAnswerer(nullptr);
  SeamSetProgramPath(nullptr);
}

}  // namespace host

BOOL IsDBCSLeadByte(BYTE TestChar) { return TestChar >= 0x81 && TestChar <= 0xFE; }
