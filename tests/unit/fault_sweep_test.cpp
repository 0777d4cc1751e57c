// Every call of the golden scan and install through the call table, refused
// in turn as for lack of rights: alone, and with every later call. After each
// run the program is up, the scan has lost only what was refused, nothing of
// the user's is lost, every key opened is closed, and a release is reported
// exactly when one of its registration writes or copies was refused.
#include <algorithm>
#include <set>
#include <sstream>

#include "acad_inventory.h"
#include "build_settings.h"
#include "machine.h"
#include "payload_copier.h"
#include "pre_install_checks.h"
#include "target_folder.h"

namespace {

#define SWEEP_ENUM(name) k##name,
#define SWEEP_NAME(name) #name,
enum { SETUP_SYSCALLS(SWEEP_ENUM) };
const char* const kNames[] = {SETUP_SYSCALLS(SWEEP_NAME)};

struct Call { int entry; std::string argument; bool failed; };
struct Sweep {
  int failAt = 0;        // the call refused, from 1 (0: none), and onwards every later one
  bool onwards = false;
  std::vector<Call> calls;
  std::map<HKEY, std::string> keys = {{HKEY_LOCAL_MACHINE, "HKLM"}, {HKEY_CURRENT_USER, "HKCU"}};
  SyscallTable passOn;
  int boxes = 0, openKeys = 0;
} g;

template <int Entry, auto Member, typename R, typename... A>
R WINAPI Faulty(A... args) {
  std::string argument;  // "HKLM|SOFTWARE\...|name", "source|destination"
  auto describe = [&](auto arg) {
    if constexpr (std::is_same_v<decltype(arg), HKEY>) argument += g.keys[arg];
    if constexpr (std::is_same_v<decltype(arg), LPCSTR>) argument += std::string(argument.empty() ? "" : "|") + (arg ? arg : "");
  };
  (describe(args), ...);
  const int number = static_cast<int>(g.calls.size()) + 1;
  g.calls.push_back({Entry, argument, number == g.failAt || (g.onwards && g.failAt && number > g.failAt)});
  g.openKeys -= Entry == kRegCloseKey;  // refused or not, the program let the key go
  if (g.calls.back().failed) {
    SetLastError(ERROR_ACCESS_DENIED);
    if constexpr (std::is_pointer_v<R>) return static_cast<R>(INVALID_HANDLE_VALUE);
    else if constexpr (std::is_same_v<R, LSTATUS>) return ERROR_ACCESS_DENIED;
    else return static_cast<R>(Entry == kGetFileAttributesA ? INVALID_FILE_ATTRIBUTES : 0);
  }
  R result = (g.passOn.*Member)(args...);
  auto track = [&](auto arg) {  // the path of each key opened; opening "" gives back a root
    if constexpr (std::is_same_v<decltype(arg), PHKEY>) {
      ++g.openKeys;
      if (*arg != HKEY_LOCAL_MACHINE && *arg != HKEY_CURRENT_USER) g.keys[*arg] = argument;
    }
  };
  if constexpr (std::is_same_v<R, LSTATUS>)
    if (result == ERROR_SUCCESS) (track(args), ...);
  return result;
}
template <int Entry, auto Member, typename R, typename... A>
auto FaultyFor(R(WINAPI* SyscallTable::*)(A...)) { return &Faulty<Entry, Member, R, A...>; }

int WINAPI Answer(HWND, LPCSTR, LPCSTR, UINT style) {  // Ignore after a failed copy, else OK
  ++g.boxes;
  return (style & 0xF) == MB_ABORTRETRYIGNORE ? IDIGNORE : IDOK;
}

bool StartsWith(const std::string& text, const std::string& start) { return text.compare(0, start.size(), start) == 0; }

// The AutoCAD keys of both views and of the user, a line of RegDump each.
const std::pair<HKEY, const char*> kAcadKeys[] = {
    {HKEY_LOCAL_MACHINE, "SOFTWARE\\Wow6432Node\\Autodesk"}, {HKEY_LOCAL_MACHINE, "SOFTWARE\\Autodesk"}, {HKEY_CURRENT_USER, "SOFTWARE\\Autodesk"}};
std::set<std::string> Registry() {
  std::set<std::string> lines;
  for (const auto& [root, key] : kAcadKeys) {
    std::istringstream dump(RegDump(root, key));
    for (std::string line; std::getline(dump, line);) lines.insert((root == HKEY_CURRENT_USER ? "HKCU\\" : "HKLM\\") + line);
  }
  return lines;
}
// A line of Registry() (a key, or a value of type sz or dword) written back,
// or deleted.
void PutBack(const std::string& line, bool write) {
  const HKEY root = line[2] == 'L' ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
  const size_t colon = line.find(": "), equals = line.find(" = ", colon);
  const std::string key = line.substr(5, colon - 5), name = line.substr(colon + 2, equals - colon - 2), data = line.substr(equals + 3);
  const DWORD number = StartsWith(data, "dword:") ? std::stoul(data.substr(6)) : 0;
  HKEY handle = nullptr;
  if (!write && colon == std::string::npos) RegDeleteTreeA(root, key.c_str());
  else if (!write && !RegOpenKeyExA(root, key.c_str(), 0, KEY_ALL_ACCESS, &handle)) RegDeleteValueA(handle, name.c_str());
  else if (write && !RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr) &&
           colon != std::string::npos)
    StartsWith(data, "sz:") ? RegSetValueExA(handle, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(&data[3]), data.size() - 2)
                            : RegSetValueExA(handle, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4);
  if (handle) RegCloseKey(handle);
}
// The products a scan found, a line of Found each.
std::set<std::string> Products(const CAcadInventory& inventory) {
  std::istringstream lines(Found(inventory));
  std::set<std::string> products;
  for (std::string line; std::getline(lines, line);) products.insert(line);
  return products;
}
// A call's key below HKEY_LOCAL_MACHINE as the scan names keys ("HKLM||A|B" is "A\B"); "-" for others.
std::string MachineKey(std::string argument) {
  std::replace(argument.begin(), argument.end(), '|', '\\');
  argument.erase(std::unique(argument.begin(), argument.end(), [](char a, char b) { return a == '\\' && b == '\\'; }), argument.end());
  return StartsWith(argument, "HKLM") ? argument.substr(std::min<size_t>(5, argument.size())) : "-";
}

// The golden machine with files of AutoCAD's own in its AutoCAD folders, the
// payload beside pkg\SetUp.exe, and the target in the test's folder.
class FaultSweep : public testing::Test {
 protected:
  FaultSweep() {
    ImportCase("several_releases");
    MakeGoldenFolders(machine.Path("pkg\\Data"));
    machine.SetProgramPath(machine.Path("pkg\\SetUp.exe"));
    SetCurrentDirectoryA(machine.Root().c_str());  // without APPDATA the settings go to C:\Tavrin
    files = Files();
    before = Registry();
  }
  ~FaultSweep() override {
    RemoveTree("C:\\e2e-acad");
    RemoveTree("C:\\Tavrin");
  }

  // The scan and the stages of the Install button, every release ticked that
  // the dialog ticks; false when an exception escaped other than the one the
  // Install handler reports.
  bool Install(CAcadInventory& inventory, int failAt, bool onwards) {
    g = Sweep();
    g.failAt = failAt, g.onwards = onwards, g.passOn = g_syscalls;
#define SWEEP_WRAP(name) g_syscalls.name = FaultyFor<k##name, &SyscallTable::name>(&SyscallTable::name);
    SETUP_SYSCALLS(SWEEP_WRAP)
    g_syscalls.MessageBoxA = &Answer;
    bool survived = true;
    try {
      inventory.ScanInstalledReleases();
      std::vector<int> ticked;
      for (int k = 0; k < kReleaseCount; ++k)
        if (inventory.m_aInstallFolders[k].GetSize() && !(g_nBuildBits == 32 && kAcadReleases[k].hiddenIn32BitBuild)) ticked.push_back(2007 + k);
      CreateFolderLevels(target.c_str());
      if (GetPathKind(target.c_str()) != PathFolder) {
        ++g.boxes;  // the folder is refused; the user chooses another
      } else if (CPayloadCopier(target.c_str(), nullptr).CopyPayload()) {
        inventory.SetInstallPath(target.c_str());
        ForReleases(ticked, [&](auto... f) { inventory.RegisterSelectedReleases(f...); });
        ForReleases(ticked, [&](auto... f) { inventory.InstallSupportFiles(f...); });
      }
    } catch (const CInvalidArgException&) {
      ++g.boxes;
    } catch (const std::exception&) {
      survived = false;
    }
    g_syscalls = g.passOn;
    return survived;
  }
  std::map<std::string, std::string> Files() {
    auto now = Tree(machine.Root());
    now.merge(Tree("C:\\e2e-acad"));
    now.merge(Tree("C:\\Tavrin"));
    return now;
  }
  // What an install may create or change: the target, the settings folder
  // and the support files.
  bool Owned(const std::string& path) const {
    const std::string name = path.substr(path.rfind('\\') + 1);
    return StartsWith(path, machine.Path("target")) || StartsWith(path, machine.Path("Tavrin")) || StartsWith(path, "C:\\Tavrin") ||
           (StartsWith(path, "C:\\e2e-acad\\") && (StartsWith(name, "Tavrin_") || name == "pdfplot9.hdi" ||
                                                   name == "itextsharp.dll" || (StartsWith(name, "ACAD") && name.size() == 13)));
  }
  // The machine as before the first run.
  void Restore(const std::map<std::string, std::string>& now, const std::set<std::string>& registry) {
    for (const auto& [path, content] : now)
      if (!files.count(path) && (!SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL) || !DeleteFileA(path.c_str())))
        RemoveTree(path);
    for (const auto& [path, content] : files)
      if (!now.count(path) || now.at(path) != content)
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL), content == "<folder>" ? MakeFolders(path) : WriteFile(path, content);
    for (const std::string& line : registry)
      if (!before.count(line)) PutBack(line, false);
    for (const std::string& line : before)
      if (!registry.count(line)) PutBack(line, true);
  }

  Machine machine;
  const std::string target = machine.Path("target\\T-RedavIzor");
  std::map<std::string, std::string> files;
  std::set<std::string> before;
};

TEST_F(FaultSweep, NoRefusedCallLosesTheUsersDataOrPassesForSuccess) {
  CAcadInventory golden;
  ASSERT_TRUE(Install(golden, 0, false) && g.boxes == 0 && g.openKeys == 0);
  const int count = static_cast<int>(g.calls.size());
  const std::set<std::string> full = Registry(), products = Products(golden);
  const auto installed = Files();
  Restore(installed, Registry());
  // Keys outside AutoCAD's are never put back: what a run did to them shows at the end.
  const std::string software = RegDump(HKEY_LOCAL_MACHINE, "SOFTWARE") + RegDump(HKEY_CURRENT_USER, "SOFTWARE");
  std::vector<std::string> violations;
  for (int failAt = 1; failAt <= count; ++failAt)
    for (bool onwards : {false, true}) {
      CAcadInventory inventory;
      std::vector<std::string> broke;
      if (!Install(inventory, failAt, onwards)) broke.push_back("an exception escaped");
      if (g.openKeys != 0) broke.push_back(std::to_string(g.openKeys) + " registry keys left open");
      const std::set<std::string> after = Registry();
      for (const std::string& line : before)  // all but the plug-in's own subkeys and TRUSTEDPATHS
        if (!after.count(line) && line.find(": TRUSTEDPATHS = ") == std::string::npos &&
            line.find("\\Applications\\TR_RedavIzor") == std::string::npos && line.find("\\Applications\\Tavrin") == std::string::npos)
          broke.push_back("lost " + line);
      for (const std::string& line : after)  // a list as it was or as a full install makes it
        if (line.find(": TRUSTEDPATHS = ") != std::string::npos && !before.count(line) && !full.count(line))
          broke.push_back("became " + line);
      const auto now = Files();
      for (const auto& [path, content] : files)
        if ((!now.count(path) || now.at(path) != content) && !Owned(path)) broke.push_back("changed or deleted " + path);
      for (const auto& [path, content] : now)
        if (!files.count(path) && !Owned(path)) broke.push_back("created " + path);
      for (const auto& [path, content] : installed)
        if (g.boxes == 0 && StartsWith(path, target) && (!now.count(path) || now.at(path) != content))
          broke.push_back("left out without a word: " + path);
      // The scan loses only products at or below a refused key, and finds no other.
      const std::set<std::string> found = Products(inventory);
      for (const std::string& product : products) {
        bool excused = false;
        for (const Call& call : g.calls)
          excused |= call.failed && (StartsWith(product.substr(5), MachineKey(call.argument)) ||
                                     StartsWith(MachineKey(call.argument), product.substr(5, product.find('>') - 5)));
        if (!found.count(product) && !excused) broke.push_back("not found: " + product);
      }
      for (const std::string& product : found)
        if (!products.count(product)) broke.push_back("found what is not there: " + product);
      // Refused: a registration write below a product key of the release, or
      // the copy of a payload file into one of its folders.
      for (int k = 0; k < kReleaseCount; ++k) {
        bool refused = false, touched = false;
        for (int i = 0; i < inventory.m_aProductKeys[k].GetSize(); ++i)
          for (const Call& call : g.calls) {
            const size_t bar = call.argument.find('|');
            const bool registration = StartsWith(call.argument, "HKLM|" + inventory.m_aProductKeys[k][i].str());
            const bool copy = call.entry == kCopyFileA && StartsWith(call.argument.substr(bar + 1), inventory.m_aInstallFolders[k][i].str() + "\\");
            touched |= call.failed && (registration || copy);
            refused |= call.failed && ((registration && call.entry != kRegCloseKey && call.entry != kRegDeleteKeyA) ||
                                       (copy && Exists(call.argument.substr(0, bar))));
          }
        if (refused != inventory.m_bInstallIncomplete[k] && (refused || !touched))
          broke.push_back((refused ? "not reported: " : "reported without a refusal: ") + std::to_string(2007 + k));
      }
      Restore(now, after);
      const Call faulted = g.calls.size() >= static_cast<size_t>(failAt) ? g.calls[failAt - 1] : Call{0, "not reached", false};
      for (const std::string& what : broke)
        violations.push_back("call " + std::to_string(failAt) + (onwards ? " onwards " : " alone ") + kNames[faulted.entry] + "(" +
                             faulted.argument + "): " + what);
    }
  if (software != RegDump(HKEY_LOCAL_MACHINE, "SOFTWARE") + RegDump(HKEY_CURRENT_USER, "SOFTWARE"))
    violations.push_back("a value below HKEY_LOCAL_MACHINE\\SOFTWARE or HKEY_CURRENT_USER\\SOFTWARE changed");
  printf("fault sweep: %d calls, %d runs, %zu violations\n", count, 2 * count, violations.size());
  for (const std::string& violation : violations) printf("  %s\n", violation.c_str());
  EXPECT_EQ(0u, violations.size());
}

}  // namespace
