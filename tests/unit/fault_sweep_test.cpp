// The program's start and a click on Install, with every call through the
// call table refused in turn as for lack of rights: alone, and with every
// later call. Each run must end, and leave the machine so that no failure
// passes for success and nothing of the user's is lost.
#include <algorithm>
#include <set>
#include <sstream>

#include "acad_inventory.h"
#include "machine.h"
#include "resource.h"
#include "setup_dialog.h"

namespace {

#define SWEEP_ENUM(name) k##name,
#define SWEEP_NAME(name) #name,
enum { SETUP_SYSCALLS(SWEEP_ENUM) kEntries };
const char* const kNames[] = {SETUP_SYSCALLS(SWEEP_NAME)};

struct Endless {};  // a run past its call limit, thrown past the program's own handlers
struct Call { int entry; std::string argument; bool failed; UINT style; };
struct Sweep {
  size_t failAt = 0, limit = SIZE_MAX;  // the call refused, from 1 (0: none), and onwards every later one
  bool onwards = false, wrote = false;  // wrote: a registry write went through
  std::vector<Call> calls;
  std::map<HKEY, std::string> keys = {{HKEY_LOCAL_MACHINE, "HKLM"}, {HKEY_CURRENT_USER, "HKCU"}};
  SyscallTable passOn;
  int openKeys = 0;
} g;

template <int Entry, auto Member, typename R, typename... A>
R WINAPI Faulty(A... args) {
  if (g.calls.size() >= g.limit) throw Endless();
  Call call{Entry, "", false, 0};  // argument: "HKLM|SOFTWARE\...|name", "source|destination", "text|caption"
  auto describe = [&](auto arg) {
    if constexpr (std::is_same_v<decltype(arg), HKEY>) call.argument += g.keys[arg];
    if constexpr (std::is_same_v<decltype(arg), LPCSTR>) call.argument += std::string(call.argument.empty() ? "" : "|") + (arg ? arg : "");
    if constexpr (std::is_same_v<decltype(arg), UINT>) call.style = arg;
  };
  (describe(args), ...);
  call.failed = g.calls.size() + 1 == g.failAt || (g.onwards && g.failAt && g.calls.size() + 1 > g.failAt);
  g.calls.push_back(call);
  g.openKeys -= Entry == kRegCloseKey;  // refused or not, the program let the key go
  if (call.failed) {
    SetLastError(ERROR_ACCESS_DENIED);
    if constexpr (std::is_pointer_v<R>) return static_cast<R>(INVALID_HANDLE_VALUE);
    else if constexpr (std::is_same_v<R, LSTATUS>) return ERROR_ACCESS_DENIED;
    else return static_cast<R>(Entry == kGetFileAttributesA ? INVALID_FILE_ATTRIBUTES : 0);
  }
  R result = (g.passOn.*Member)(args...);
  auto track = [&](auto arg) {  // the path of each key opened; opening "" gives back a root
    if constexpr (std::is_same_v<decltype(arg), PHKEY>) {
      ++g.openKeys;
      if (*arg != HKEY_LOCAL_MACHINE && *arg != HKEY_CURRENT_USER) g.keys[*arg] = call.argument;
    }
  };
  if constexpr (std::is_same_v<R, LSTATUS>)
    if (result == ERROR_SUCCESS) (track(args), ...);
  g.wrote |= (Entry == kRegCreateKeyA || Entry == kRegSetValueExA || Entry == kRegDeleteKeyA) && result == ERROR_SUCCESS;
  return result;
}
template <int Entry, auto Member, typename R, typename... A>
auto FaultyFor(R(WINAPI* SyscallTable::*)(A...)) { return &Faulty<Entry, Member, R, A...>; }

// The user: Ignore after a failed copy, Yes to the notice of missing rights,
// OK else. The elevated start is taken as made; no second setup starts.
int WINAPI Answer(HWND, LPCSTR, LPCSTR, UINT style) {
  return (style & 0xF) == MB_ABORTRETRYIGNORE ? IDIGNORE : (style & 0xF) == MB_YESNO ? IDYES : IDOK;
}
HINSTANCE WINAPI Started(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT) { return reinterpret_cast<HINSTANCE>(33); }

bool StartsWith(const std::string& text, const std::string& start) { return text.compare(0, start.size(), start) == 0; }
std::set<std::string> Lines(const std::string& text) {
  std::istringstream lines(text);
  std::set<std::string> set;
  for (std::string line; std::getline(lines, line);) set.insert(line);
  return set;
}
// A line of AcadRegistry() (a key, or a value of type sz or dword) written back, or deleted.
void PutBack(const std::string& line, bool write) {
  const HKEY root = line[2] == 'L' ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
  const size_t colon = line.find(": "), equals = line.find(" = ", colon);
  const std::wstring key = uidriver::Widen(line.substr(5, colon - 5)), name = uidriver::Widen(line.substr(colon + 2, equals - colon - 2));
  const std::string data = line.substr(equals + 3);
  const std::wstring text = uidriver::Widen(data.substr(3)) + L'\0';
  const DWORD number = StartsWith(data, "dword:") ? std::stoul(data.substr(6)) : 0;
  HKEY handle = nullptr;
  if (!write && colon == std::string::npos) RegDeleteTreeW(root, key.c_str());
  else if (!write && !RegOpenKeyExW(root, key.c_str(), 0, KEY_ALL_ACCESS, &handle)) RegDeleteValueW(handle, name.c_str());
  else if (write && !RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr) && colon != std::string::npos)
    StartsWith(data, "sz:") ? RegSetValueExW(handle, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.data()), text.size() * 2)
                            : RegSetValueExW(handle, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4);
  if (handle) (kRealSyscalls.RegCloseKey)(handle);
}
// A call's key below HKEY_LOCAL_MACHINE as the scan names keys ("HKLM||A|B" is "A\B"); "-" for others.
std::string MachineKey(std::string argument) {
  std::replace(argument.begin(), argument.end(), '|', '\\');
  argument.erase(std::unique(argument.begin(), argument.end(), [](char a, char b) { return a == '\\' && b == '\\'; }), argument.end());
  return StartsWith(argument, "HKLM") ? argument.substr(std::min<size_t>(5, argument.size())) : "-";
}

// The sweep's machine, a read-only file among the payload beside
// pkg\SetUp.exe (started in pkg, as Explorer starts it) and one in a support
// file's place, and the dialog's window, made once for every run.
class FaultSweep : public testing::Test {
 protected:
  FaultSweep() {
    ImportCase("sweep");
    MakeGoldenFolders(machine.Path("pkg\\Data"));
    for (const char* name : {"TR_RedavIzor2010.ARX", "TR_RedavIzor2013.ARX", "ACAD2010P.dll", "ACAD2013P.dll", "Tavrin_HZ.shx"})
      DeleteFileA(machine.Path("pkg\\Data\\" + std::string(name)).c_str());  // a run copies each file left twice
    WriteFile(readOnly[1], "an older install's");
    for (const std::string& file : readOnly) SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
    machine.SetProgramPath(machine.Path("pkg\\SetUp.exe"));
    SetCurrentDirectoryA(machine.Path("pkg").c_str());  // without APPDATA the settings go to C:\Tavrin
    window = CreateDialogParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDD_SETUP), nullptr, &CDialog::DialogProc,
                                reinterpret_cast<LPARAM>(dialog.get()));
    for (const std::string& folder : folders) files.merge(Tree(folder));
    stamps = Files();
    before = Lines(AcadRegistry());
  }
  ~FaultSweep() override {
    DestroyWindow(window);
    for (const char* folder : {"C:\\e2e-acad", "C:\\Tavrin", "C:\\e2e-locked\\AutoCAD 2008\\Fonts", "C:\\e2e-locked\\AutoCAD 2008\\Drv"})
      RemoveTree(folder);
  }

  // The program's start (the scan, the dialog) and a click on Install; false
  // when the run made more calls than its limit.
  bool Run(size_t failAt, bool onwards, size_t limit) {
    g = Sweep();
    g.failAt = failAt, g.onwards = onwards, g.limit = limit, g.passOn = g_syscalls;
    g.passOn.MessageBoxA = &Answer, g.passOn.ShellExecuteA = &Started;
#define SWEEP_WRAP(name) g_syscalls.name = FaultyFor<k##name, &SyscallTable::name>(&SyscallTable::name);
    SETUP_SYSCALLS(SWEEP_WRAP)
    bool ended = true;
    theInventory.~CAcadInventory();
    new (&theInventory) CAcadInventory();
    g_bWarnAcadRunning = true;
    try {
      theInventory.ScanInstalledReleases();
      // A dialog starts afresh on the window when the scan found other
      // products than the last one started with; else that one is as it was
      // after its start, for what a click reads: the ticks, and the folder typed.
      if (Found(theInventory) != startedWith) {
        dialog = std::make_unique<Dlg_Setup>(), startedWith = Found(theInventory);
        SendMessageA(window, WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(dialog.get()));
      }
      SetDlgItemTextA(window, IDC_TARGET_PATH, "target\\");
      LRESULT result;
      dialog->DispatchMessageMap(WM_COMMAND, MAKEWPARAM(IDC_INSTALL, BN_CLICKED), 0, &result);
    } catch (const Endless&) {
      ended = false;
    }
    g_syscalls = g.passOn;
    return ended;
  }
  // Every file a run may touch, by its size and time of last writing.
  std::map<std::string, std::string> Files() const {
    std::map<std::string, std::string> now;
    for (const std::string& folder : folders) now.merge(Tree(folder, false));
    return now;
  }
  // What an install may create or change: the target, the settings folder
  // and the support files.
  bool Owned(const std::string& path) const {
    const std::string name = path.substr(path.rfind('\\') + 1);
    return StartsWith(path, machine.Path("pkg\\target")) || StartsWith(path, machine.Path("Tavrin")) || StartsWith(path, "C:\\Tavrin") ||
           (StartsWith(path, "C:\\e2e-locked\\") && (StartsWith(name, "Tavrin_") || name == "pdfplot9.hdi" ||
                                                   name == "itextsharp.dll" || (StartsWith(name, "ACAD") && name.size() == 13)));
  }
  // The machine as before the first run; a folder or key the run made goes with what it holds.
  void Restore(const std::map<std::string, std::string>& now, const std::set<std::string>& registry) {
    std::string gone = "|";
    for (const auto& [path, stamp] : now)
      if (!stamps.count(path) && !StartsWith(path, gone + "\\") && (!SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL) || !DeleteFileA(path.c_str())))
        RemoveTree(gone = path);
    for (const auto& [path, stamp] : stamps)
      if (!now.count(path) || now.at(path) != stamp) {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        files[path] == "<folder>" ? MakeFolders(path) : WriteFile(path, files[path]);
        stamps[path] = Tree(path.substr(0, path.rfind('\\')), false)[path];
      }
    for (const std::string& file : readOnly) SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
    gone = "|";
    for (const std::string& line : registry)
      if (!before.count(line) && !StartsWith(line, gone + ": ") && !StartsWith(line, gone + "\\"))
        PutBack(line, false), gone = line.find(": ") == std::string::npos ? line : gone;
    for (const std::string& line : before)
      if (!registry.count(line)) PutBack(line, true);
  }

  Machine machine;
  // What a run may touch: the test's folder (the download, the target and
  // APPDATA), the machine's AutoCAD folders and the fallback of the settings.
  const std::vector<std::string> folders = {machine.Root(), "C:\\e2e-locked\\AutoCAD 2008", "C:\\e2e-acad\\AutoCAD 2018", "C:\\Tavrin"};
  const std::vector<std::string> readOnly = {machine.Path("pkg\\Data\\readme.txt"), "C:\\e2e-locked\\AutoCAD 2008\\Fonts\\Tavrin_EN.shx"};
  const std::string target = machine.Path("pkg\\target\\T-RedavIzor");
  std::unique_ptr<Dlg_Setup> dialog = std::make_unique<Dlg_Setup>();
  std::string startedWith = "-";  // what the scan had found when the dialog started
  HWND window;
  std::map<std::string, std::string> files, stamps;  // the contents, and the stamps, before the first run
  std::set<std::string> before;
};

TEST_F(FaultSweep, NoRefusedCallLosesTheUsersDataOrPassesForSuccess) {
  const std::string software = RegDump(HKEY_LOCAL_MACHINE, "SOFTWARE") + RegDump(HKEY_CURRENT_USER, "SOFTWARE");
  ASSERT_TRUE(Run(0, false, SIZE_MAX));
  const std::vector<Call> golden = g.calls;
  const std::set<std::string> full = Lines(AcadRegistry()), products = Lines(Found(theInventory));
  const auto installed = Files();
  int perEntry[kEntries] = {};
  std::string notice;
  for (const Call& call : golden) {
    ++perEntry[call.entry];
    if (call.style == MB_YESNO) notice = call.argument;
  }
  EXPECT_EQ(0, g.openKeys);
  EXPECT_TRUE(StartsWith(notice, "以下AutoCAD版本未能完整安装：\n\nAutoCAD2008\n\n")) << notice;
  EXPECT_TRUE(std::any_of(golden.begin(), golden.end(), [&](const Call& call) {
    return call.entry == kShellExecuteA && StartsWith(call.argument, "runas|" + machine.Path("pkg\\SetUp.exe") + "|");
  })) << "Yes starts the setup again elevated";
  Restore(installed, full);
  const bool firstOnly = getenv("SETUP_SWEEP_FIRST_VIOLATION") && *getenv("SETUP_SWEEP_FIRST_VIOLATION");  // as a mutant's killer
  std::vector<std::string> violations;
  for (size_t failAt = 1; failAt <= golden.size() && !(firstOnly && violations.size()); ++failAt)
    for (bool onwards : {false, true}) {
      std::vector<std::string> broke;
      if (!Run(failAt, onwards, 10 * golden.size())) broke.push_back("does not end");
      if (g.openKeys != 0) broke.push_back(std::to_string(g.openKeys) + " registry keys left open");
      std::string told;  // every box the program tried to show
      for (const Call& call : g.calls) told += call.entry == kMessageBoxA ? call.argument + "\n" : "";
      if (told.find("请关闭AutoCAD后再进行安装") != std::string::npos) broke.push_back("AutoCAD taken for running");
      // Every value as before, or as a full install leaves it; a trusted-path
      // list is never gone where it was. A run that wrote nothing through the
      // call table is not read back: another write shows at the end.
      const std::set<std::string> after = g.wrote ? Lines(AcadRegistry()) : before;
      for (const std::string& line : after)
        if (!before.count(line) && !full.count(line)) broke.push_back("wrote " + line);
      for (const std::string& line : before) {
        const size_t list = line.find(": TRUSTEDPATHS = ");
        const bool replaced = list != std::string::npos && std::any_of(after.begin(), after.end(), [&](const std::string& now) {
          return StartsWith(now, line.substr(0, list + 17)) && full.count(now);
        });
        if (!after.count(line) && !replaced && line.find("\\Applications\\TR_RedavIzor") == std::string::npos &&
            line.find("\\Applications\\Tavrin") == std::string::npos)
          broke.push_back("lost " + line);
      }
      const auto now = Files();
      for (const auto& [path, stamp] : stamps)
        if ((!now.count(path) || now.at(path) != stamp) && !Owned(path)) broke.push_back("changed or deleted " + path);
      for (const auto& [path, stamp] : now)
        if (!stamps.count(path) && !Owned(path)) broke.push_back("created " + path);
      const bool worded = std::any_of(g.calls.begin(), g.calls.end(), [](const Call& call) { return call.entry == kMessageBoxA && call.style != MB_YESNO; });
      for (const auto& [path, stamp] : installed)
        if (!worded && StartsWith(path, target) && (!now.count(path) || now.at(path) != stamp)) broke.push_back("left out without a word: " + path);
      // The scan loses only products at or below a refused key, and finds no other.
      const std::set<std::string> found = Lines(Found(theInventory));
      for (const std::string& product : products) {
        bool excused = false;
        for (const Call& call : g.calls)
          excused |= call.failed && (StartsWith(product.substr(5), MachineKey(call.argument)) ||
                                     StartsWith(MachineKey(call.argument), product.substr(5, product.find('>') - 5)));
        if (!found.count(product) && !excused) broke.push_back("not found: " + product);
      }
      for (const std::string& product : found)
        if (!products.count(product)) broke.push_back("found what is not there: " + product);
      // A release is named in the notice exactly when one of its registration
      // writes, or a copy into one of its folders, was refused, by the call
      // table (and not made good by a copy tried again) or by its folder.
      for (int k = 0; k < kReleaseCount; ++k) {
        const std::string year = std::to_string(2007 + k);
        bool refused = false, touched = false;
        for (int i = 0; i < theInventory.m_aProductKeys[k].GetSize(); ++i)
          for (auto call = g.calls.begin(); call != g.calls.end(); ++call) {
            const bool registration = StartsWith(call->argument, "HKLM|" + theInventory.m_aProductKeys[k][i].str());
            const bool inFolder = call->argument.find(theInventory.m_aInstallFolders[k][i].str() + "\\") != std::string::npos;
            const bool copied = std::any_of(call + 1, g.calls.end(), [&](const Call& again) {
              return again.entry == kCopyFileA && !again.failed && again.argument == call->argument;
            });
            touched |= call->failed && (registration || inFolder);
            refused |= (call->failed && registration && call->entry != kRegCloseKey && call->entry != kRegDeleteKeyA) ||
                       (call->entry == kCopyFileA && inFolder && Exists(call->argument.substr(0, call->argument.find('|'))) &&
                        ((call->failed && !copied) || notice.find("AutoCAD" + year) != std::string::npos));
          }
        const bool named = told.find("\n\nAutoCAD" + year) != std::string::npos || told.find("、AutoCAD" + year) != std::string::npos;
        if (refused != named && (refused || !touched)) broke.push_back((refused ? "not reported: " : "reported without a refusal: ") + year);
      }
      const auto elevation = std::find_if(g.calls.begin(), g.calls.end(), [](const Call& call) { return call.entry == kShellExecuteA; });
      if (elevation != g.calls.end() && elevation->failed && std::none_of(elevation, g.calls.end(), [](const Call& call) {
            return call.entry == kMessageBoxA && StartsWith(call.argument, "未能以管理员身份启动SetUp.exe：");
          }))
        broke.push_back("an elevated start refused and passed for made");
      Restore(now, after);
      const Call faulted = g.calls.size() >= failAt ? g.calls[failAt - 1] : Call{0, "not reached", false, 0};
      for (const std::string& what : broke)
        violations.push_back("call " + std::to_string(failAt) + (onwards ? " onwards " : " alone ") + kNames[faulted.entry] + "(" +
                             faulted.argument + "): " + what);
    }
  if (software != RegDump(HKEY_LOCAL_MACHINE, "SOFTWARE") + RegDump(HKEY_CURRENT_USER, "SOFTWARE"))
    violations.push_back("HKEY_LOCAL_MACHINE\\SOFTWARE or HKEY_CURRENT_USER\\SOFTWARE differs from before the golden run");
  printf("fault sweep: %zu calls, %zu runs, %zu violations\n  calls per entry:", golden.size(), 2 * golden.size(), violations.size());
  for (int entry = 0; entry < kEntries; ++entry) printf(" %s %d", kNames[entry], perEntry[entry]);
  printf("\n");
  for (const std::string& violation : violations) printf("  %s\n", violation.c_str());
  EXPECT_EQ(0u, violations.size());
  EXPECT_EQ(0, std::count(perEntry, perEntry + kEntries, 0)) << "an entry of the call table is never refused";
}

}  // namespace
