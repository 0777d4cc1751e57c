// bench_registry.exe: the AutoCAD registries of the start-up benchmark.
// A machine (see registry_layout.h) is "ordinary", or the large machine's
// scale, a number from 1 to 64.
//   generate <machine> [<from>]
//                              writes the machine's keys below the AutoCAD
//                              root HKLM\SOFTWARE\Autodesk\AutoCAD: after
//                              removing what is there, or for the large
//                              machine with <from> only the keys it adds to
//                              the one at scale <from>, already there
//   write-reg <machine> <root> <file>
//                              the same keys below HKLM\<root> as a .reg
//                              file (UTF-16), for regedit's import
//   clear                      removes HKLM\SOFTWARE\Autodesk\AutoCAD
//   scan <runs> <label>        times the start-up scan in-process
//   walk <runs> <label>        times one walk of the same keys
// One line per result; exit code 0, 1 on failure, 2 on a usage error.
#include "clock.h"
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "registry_layout.h"
#include "registry_walk.h"

namespace {

int Number(const char* word) {
  char* end = nullptr;
  long value = std::strtol(word, &end, 10);
  if (*word == '\0' || *end != '\0' || value < 1 || value > 64) return 0;
  return static_cast<int>(value);
}

// A machine named on the command line, and its label in the results:
// "ordinary", or "2x" for the large machine at scale 2.
struct Machine {
  int scale = 0;  // 0: the ordinary machine
  std::string label;
  bench::Layout Keys(int fromScale = 0) const {
    return scale == 0 ? bench::OrdinaryLayout() : bench::LargeLayout(scale, fromScale);
  }
};

bool ParseMachine(const char* word, Machine& machine) {
  if (std::string(word) == "ordinary") {
    machine = {0, "ordinary"};
    return true;
  }
  int scale = Number(word);
  if (scale == 0) return false;
  machine = {scale, std::to_string(scale) + "x"};
  return true;
}

bool Clear() {
  LSTATUS status = RegDeleteTreeA(HKEY_LOCAL_MACHINE, bench::kAcadRootPath);
  if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) return true;
  std::fprintf(stderr, "bench_registry: cannot remove HKLM\\%s: error %ld\n", bench::kAcadRootPath, status);
  return false;
}

bool Generate(const Machine& machine, int fromScale) {
  double start = bench::NowMs();
  if (fromScale == 0 && !Clear()) return false;
  double cleared = bench::NowMs();
  long failures = 0, created = 0;
  machine.Keys(fromScale)(bench::kAcadRootPath, [&](const bench::LayoutKey& entry) {
    ++created;
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, entry.path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
      ++failures;
      return;
    }
    for (const auto& value : entry.values) {
      const BYTE* data = reinterpret_cast<const BYTE*>(value.second.c_str());
      if (RegSetValueExA(key, value.first.c_str(), 0, REG_SZ, data, static_cast<DWORD>(value.second.size() + 1)) !=
          ERROR_SUCCESS)
        ++failures;
    }
    RegCloseKey(key);
  });
  double done = bench::NowMs();
  bench::LayoutSize size = bench::SizeOfLayout(machine.Keys());
  std::printf("generate %s keys=%ld values=%ld products=%ld scan_calls=%ld created=%ld clear_ms=%.1f create_ms=%.1f\n",
              machine.label.c_str(), size.keys, size.values, size.products, size.scanCalls, created, cleared - start,
              done - cleared);
  if (failures != 0) std::fprintf(stderr, "bench_registry: %ld keys or values could not be written\n", failures);
  return failures == 0;
}

// The .reg text of the layout, written as regedit reads it: UTF-16 with a
// byte-order mark, CR LF line ends, backslashes and quotes escaped in data.
bool WriteReg(const Machine& machine, const std::string& root, const char* file) {
  std::wstring text = L"\xFEFFWindows Registry Editor Version 5.00\r\n";
  auto widen = [](const std::string& narrow) { return std::wstring(narrow.begin(), narrow.end()); };
  machine.Keys()(root, [&](const bench::LayoutKey& key) {
    text += L"\r\n[HKEY_LOCAL_MACHINE\\" + widen(key.path) + L"]\r\n";
    for (const auto& value : key.values) {
      std::wstring data;
      for (char c : value.second) {
        if (c == '\\' || c == '"') data += L'\\';
        data += static_cast<wchar_t>(static_cast<unsigned char>(c));
      }
      text += L"\"" + widen(value.first) + L"\"=\"" + data + L"\"\r\n";
    }
  });
  HANDLE handle = CreateFileA(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "bench_registry: cannot write %s: error %lu\n", file, GetLastError());
    return false;
  }
  DWORD bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t)), written = 0;
  BOOL ok = WriteFile(handle, text.data(), bytes, &written, nullptr);
  CloseHandle(handle);
  std::printf("write-reg %s bytes=%lu\n", machine.label.c_str(), bytes);
  return ok && written == bytes;
}

void Scan(int runs, const char* label) {
  for (int run = 1; run <= runs; ++run) {
    bench::ScanTiming scan = bench::TimeProductScan();
    std::printf("scan %s %d %.1f products=%ld\n", label, run, scan.ms, scan.products);
    std::fflush(stdout);
  }
}

void Walk(int runs, const char* label) {
  for (int run = 1; run <= runs; ++run) {
    bench::WalkTiming walk = bench::TimeSingleWalk();
    std::printf("walk %s %d %.1f products=%ld keys=%ld calls=%ld\n", label, run, walk.ms, walk.products, walk.keys,
                walk.calls);
    std::fflush(stdout);
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::string command = argc > 1 ? argv[1] : "";
  Machine machine;
  bool named = argc > 2 && ParseMachine(argv[2], machine);
  if (command == "generate" && named && argc == 3) return Generate(machine, 0) ? 0 : 1;
  if (command == "generate" && named && argc == 4 && machine.scale > 0 && Number(argv[3]) > 0)
    return Generate(machine, Number(argv[3])) ? 0 : 1;
  if (command == "write-reg" && named && argc == 5) return WriteReg(machine, argv[3], argv[4]) ? 0 : 1;
  if (command == "clear" && argc == 2) return Clear() ? 0 : 1;
  int runs = argc > 2 ? Number(argv[2]) : 0;
  if ((command == "scan" || command == "walk") && runs > 0 && argc == 4) {
    (command == "scan" ? Scan : Walk)(runs, argv[3]);
    return 0;
  }
  std::fputs("usage: bench_registry generate <machine> [<from>] | write-reg <machine> <root> <file> | clear |"
             " scan <runs> <label> | walk <runs> <label>   (machine: ordinary, or a scale from 1 to 64)\n",
             stderr);
  return 2;
}
