// The program's start and a click on Install, with every call through the
// call table refused in turn as Windows refuses it (missing rights, a file in
// use, a full disk, not found, a declined prompt): alone, and for rights and
// a full disk with every later call too. Each run must end, and leave the
// machine so that no failure passes for success, every failure is told with
// its true reason, and nothing of the user's is lost. And the install stopped
// at any call, as if the process died there (nothing after it runs, no
// handler of the program's), then run again whole, ends as one install does.
#include <algorithm>
#include <set>

#include "acad_inventory.h"
#include "machine.h"
#include "resource.h"
#include "setup_dialog.h"

namespace {

#define SWEEP_ENUM(name) k##name,
#define SWEEP_NAME(name) #name,
enum { SETUP_SYSCALLS(SWEEP_ENUM) kEntries };
const char* const kNames[] = {SETUP_SYSCALLS(SWEEP_NAME)};

// The failures a real Windows gives, by the error each leaves, and the process dying.
enum Kind { kRights, kInUse, kDiskFull, kNotFound, kDeclined, kDied, kKinds };
const char* const kKindNames[] = {"rights", "in use", "disk full", "not found", "declined", "died"};
const DWORD kKindErrors[] = {ERROR_ACCESS_DENIED, ERROR_SHARING_VIOLATION, ERROR_DISK_FULL, ERROR_FILE_NOT_FOUND, ERROR_CANCELLED, 0};
bool OneOf(int entry, std::initializer_list<int> entries) { return std::count(entries.begin(), entries.end(), entry) > 0; }
// The calls that change the machine: dying between two is dying at the second.
bool Changes(int entry) {
  return OneOf(entry, {kRegCreateKeyA, kRegSetValueExA, kRegDeleteKeyA, kSetFileAttributesA, kCreateDirectoryA, kDeleteFileA, kCopyFileA});
}
// Whether Windows fails a call of entry so: any call for lack of rights; the
// file calls with a file in use; the copies and the folder creation with a
// full disk; the opens and attribute reads with nothing there; the elevated
// start with a declined prompt or a missing program. A process dies at any call.
bool Applies(int entry, int kind) {
  return kind == kInUse      ? OneOf(entry, {kFindFirstFileA, kGetFileAttributesA, kSetFileAttributesA, kDeleteFileA, kCopyFileA})
         : kind == kDiskFull ? OneOf(entry, {kCopyFileA, kCreateDirectoryA})
         : kind == kNotFound ? OneOf(entry, {kRegOpenKeyA, kRegOpenKeyExA, kFindFirstFileA, kGetFileAttributesA, kDeleteFileA, kShellExecuteA})
                             : kind != kDeclined || entry == kShellExecuteA;
}

struct Ended {};  // a run past its call limit, or dead: thrown past the program's own handlers
struct Call { int entry; std::string argument; bool failed; UINT style; DWORD error; };  // error: the table's or the real call's
struct Sweep {
  size_t failAt = 0, stopAt = 0, limit = SIZE_MAX;  // the call refused or stopped at, from 1 (0: none)
  int kind = kRights;
  bool onwards = false, wrote = false;  // onwards: every later call the kind applies to; wrote: a registry write went through
  std::vector<Call> calls;
  std::map<HKEY, std::string> keys = {{HKEY_LOCAL_MACHINE, "HKLM"}, {HKEY_CURRENT_USER, "HKCU"}};
  SyscallTable passOn;
  int openKeys = 0;
} g;

// A call refused so: its own failure value, its error returned (the registry) or the last error.
template <int Entry, typename R>
R Refused(DWORD error) {
  SetLastError(error);
  if constexpr (Entry == kShellExecuteA)  // a code of 32 or less: access denied, or file not found
    return reinterpret_cast<R>(static_cast<INT_PTR>(error == ERROR_FILE_NOT_FOUND ? SE_ERR_FNF : SE_ERR_ACCESSDENIED));
  else if constexpr (std::is_pointer_v<R>) return static_cast<R>(INVALID_HANDLE_VALUE);
  else if constexpr (std::is_same_v<R, LSTATUS>) return static_cast<R>(error);
  else return static_cast<R>(Entry == kGetFileAttributesA ? INVALID_FILE_ATTRIBUTES : 0);
}

template <int Entry, auto Member, typename R, typename... A>
R WINAPI Faulty(A... args) {
  // Unwinding, only the keys held are let go. A destructor closes a key and
  // cannot throw: a stop there is a stop at the next call.
  if (std::uncaught_exceptions() > 0) return (g.passOn.*Member)(args...);
  if ((g.calls.size() >= g.limit || (g.stopAt && g.calls.size() + 1 >= g.stopAt)) && Entry != kRegCloseKey) throw Ended();
  Call call{Entry, "", false, 0, ERROR_SUCCESS};  // argument: "HKLM|SOFTWARE\...|name", "source|destination", "text|caption"
  auto describe = [&](auto arg) {
    if constexpr (std::is_same_v<decltype(arg), HKEY>) call.argument += g.keys[arg];
    if constexpr (std::is_same_v<decltype(arg), LPCSTR>) call.argument += std::string(call.argument.empty() ? "" : "|") + (arg ? arg : "");
    if constexpr (std::is_same_v<decltype(arg), UINT>) call.style = arg;
  };
  (describe(args), ...);
  const size_t number = g.calls.size() + 1;
  call.failed = Applies(Entry, g.kind) && g.kind != kDied && g.failAt && (number == g.failAt || (g.onwards && number > g.failAt));
  g.openKeys -= Entry == kRegCloseKey;  // refused or not, the program let the key go
  if (call.failed) return g.calls.push_back({Entry, call.argument, true, call.style, kKindErrors[g.kind]}), Refused<Entry, R>(kKindErrors[g.kind]);
  SetLastError(ERROR_SUCCESS);
  R result = (g.passOn.*Member)(args...);
  if constexpr (std::is_same_v<R, LSTATUS>) call.error = static_cast<DWORD>(result);
  if constexpr (std::is_same_v<R, BOOL>) call.error = result ? ERROR_SUCCESS : GetLastError();
  auto track = [&](auto arg) {  // the path of each key opened; opening "" gives back a root
    if constexpr (std::is_same_v<decltype(arg), PHKEY>) {
      ++g.openKeys;
      if (*arg != HKEY_LOCAL_MACHINE && *arg != HKEY_CURRENT_USER) g.keys[*arg] = call.argument;
    }
  };
  if constexpr (std::is_same_v<R, LSTATUS>)
    if (result == ERROR_SUCCESS) (track(args), ...);
  g.wrote |= (Entry == kRegCreateKeyA || Entry == kRegSetValueExA || Entry == kRegDeleteKeyA) && result == ERROR_SUCCESS;
  const DWORD error = GetLastError();
  g.calls.push_back(call);
  SetLastError(error);
  return result;
}
template <int Entry, auto Member, typename R, typename... A>
auto FaultyFor(R(WINAPI* SyscallTable::*)(A...)) { return &Faulty<Entry, Member, R, A...>; }

// The user: Ignore after a failed copy, Yes to the notice, OK else; the elevated start is made.
int WINAPI Answer(HWND, LPCSTR, LPCSTR, UINT style) {
  return (style & 0xF) == MB_ABORTRETRYIGNORE ? IDIGNORE : (style & 0xF) == MB_YESNO ? IDYES : IDOK;
}
HINSTANCE WINAPI Started(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT) { return reinterpret_cast<HINSTANCE>(33); }

bool StartsWith(const std::string& text, const std::string& start) { return text.compare(0, start.size(), start) == 0; }
std::vector<std::string> Split(const std::string& text, const std::string& separator) {
  std::vector<std::string> parts;
  for (size_t start = 0, end;; start = end + separator.size()) {
    parts.push_back(text.substr(start, (end = text.find(separator, start)) - start));
    if (end == std::string::npos) return parts;
  }
}
std::set<std::string> Lines(const std::string& text) {
  const std::vector<std::string> lines = Split(text, "\n");
  std::set<std::string> set(lines.begin(), lines.end());
  return set.erase(""), set;
}
// Windows' own words for an error, and the reason the notice gives for it.
std::string WindowsWords(DWORD error) {
  char text[260];
  std::string words(text, FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text, sizeof text, nullptr));
  while (!words.empty() && (words.back() == '\n' || words.back() == '\r')) words.pop_back();
  return words.empty() ? std::to_string(error) : words;
}
std::string Reason(DWORD error) {
  return error == ERROR_ACCESS_DENIED ? "rights" : error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ? "in use" : WindowsWords(error);
}
// What the notice names: "2008 rights", "2010 in use", "2014 <Windows' words>".
std::set<std::string> Named(const std::string& notice) {
  std::set<std::string> named;
  const std::vector<std::string> parts = Split(notice.substr(0, notice.rfind('|')), "\n\n");
  for (size_t i = 1; i + 1 < parts.size(); i += 2) {
    const std::string& why = parts[i + 1];
    const std::string reason = StartsWith(why, "当前用户没有写入") ? "rights" : StartsWith(why, "AutoCAD正在使用") ? "in use" : why;
    for (const std::string& release : Split(parts[i], "、")) named.insert(release.substr(7) + " " + reason);
  }
  return named;
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

// The sweep's machine: a read-only file among the payload beside
// pkg\SetUp.exe (started in pkg, as Explorer starts it) and one in a support
// file's place, the user's own settings and AutoCAD 2008's own plot driver
// (the test script leaves an older install's files in its folder, which the
// user may not write), and the dialog's window, made once for every run.
class FaultSweep : public testing::Test {
 protected:
  FaultSweep() {
    CleanUp();  // what a test that died left
    ImportCase("sweep");
    MakeGoldenFolders(machine.Path("pkg\\Data"));
    for (const char* name : {"TR_RedavIzor2010.ARX", "TR_RedavIzor2013.ARX", "ACAD2010P.dll", "ACAD2013P.dll", "Tavrin_HZ.shx", "itextsharp.dll"})
      DeleteFileA(machine.Path("pkg\\Data\\" + std::string(name)).c_str());  // a run copies each file left twice
    WriteFile(readOnly[1], "an older install's");
    for (const std::string& file : readOnly) SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
    MakeFolders(machine.Path("Tavrin"));
    for (const std::string& file : usersOwn) WriteFile(file, "the user's own " + file);
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
    CleanUp();
  }
  static void CleanUp() {
    for (const char* folder : {"C:\\e2e-acad", "C:\\Tavrin", "C:\\e2e-locked\\AutoCAD 2008\\Fonts", "C:\\e2e-locked\\AutoCAD 2008\\Drv"})
      RemoveTree(folder);
  }

  // The program's start (the scan, the dialog) and a click on Install; false
  // when the run made more calls than its limit or died (at failAt).
  bool Run(size_t failAt, int kind, bool onwards, size_t limit) {
    g = Sweep();
    g.failAt = failAt, g.kind = kind, g.onwards = onwards, g.limit = limit, g.passOn = g_syscalls;
    g.stopAt = kind == kDied ? failAt : 0;
    g.passOn.MessageBoxA = &Answer, g.passOn.ShellExecuteA = &Started;
#define SWEEP_WRAP(name) g_syscalls.name = FaultyFor<k##name, &SyscallTable::name>(&SyscallTable::name);
    SETUP_SYSCALLS(SWEEP_WRAP)
    bool ended = true;
    theInventory.~CAcadInventory();
    new (&theInventory) CAcadInventory();
    g_bWarnAcadRunning = true;
    ShowWindow(GetDlgItem(window, IDOK), SW_HIDE);  // shown by the finished page
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
    } catch (const Ended&) {  // past its limit, or dead
      ended = false;
    }
    g_syscalls = g.passOn;
    return ended;
  }
  bool FinishedPageShown() const { return GetWindowLongA(GetDlgItem(window, IDOK), GWL_STYLE) & WS_VISIBLE; }
  // Every file a run may touch, by its size and time of last writing, or its content.
  std::map<std::string, std::string> Files(bool contents = false) const {
    std::map<std::string, std::string> now;
    for (const std::string& folder : folders) now.merge(Tree(folder, contents));
    return now;
  }
  // What an install may create or change: the target, the settings folder
  // and the support files, and the copies of what they replace.
  bool Owned(const std::string& path) const {
    const std::string name = path.substr(path.rfind('\\') + 1);
    return StartsWith(path, machine.Path("pkg\\target")) || StartsWith(path, machine.Path("Tavrin")) || StartsWith(path, "C:\\Tavrin") ||
           (StartsWith(path, "C:\\e2e-") && (StartsWith(name, "Tavrin_") || StartsWith(name, "pdfplot9.hdi") ||
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
  const std::vector<std::string> folders = {machine.Root(), "C:\\e2e-locked\\AutoCAD 2008", "C:\\e2e-acad\\AutoCAD 2010", "C:\\Tavrin"};
  const std::vector<std::string> readOnly = {machine.Path("pkg\\Data\\readme.txt"), "C:\\e2e-locked\\AutoCAD 2008\\Fonts\\Tavrin_EN.shx"};
  const std::vector<std::string> usersOwn = {machine.Path("Tavrin\\Tavrin.Ini"), "C:\\e2e-locked\\AutoCAD 2008\\Drv\\pdfplot9.hdi"};
  const std::string target = machine.Path("pkg\\target\\T-RedavIzor");
  std::unique_ptr<Dlg_Setup> dialog = std::make_unique<Dlg_Setup>();
  std::string startedWith = "-";  // what the scan had found when the dialog started
  HWND window;
  std::map<std::string, std::string> files, stamps;  // the contents, and the stamps, before the first run
  std::set<std::string> before;
};

TEST_F(FaultSweep, NoRefusedCallLosesTheUsersDataOrPassesForSuccess) {
  ASSERT_TRUE(Run(0, kRights, false, SIZE_MAX));
  const std::vector<Call> golden = g.calls;
  const std::set<std::string> full = Lines(AcadRegistry()), products = Lines(Found(theInventory));
  const auto installed = Files(), installedContents = Files(true);
  int perEntry[kEntries] = {};
  std::string notice;
  for (const Call& call : golden) {
    ++perEntry[call.entry];
    if (call.style == MB_YESNO) notice = call.argument;
  }
  EXPECT_EQ((std::set<std::string>{"2008 rights"}), Named(notice)) << notice;
  EXPECT_TRUE(std::any_of(golden.begin(), golden.end(), [&](const Call& call) {
    return call.entry == kShellExecuteA && StartsWith(call.argument, "runas|" + machine.Path("pkg\\SetUp.exe") + "|/continue:");
  })) << "Yes starts the setup again elevated, with what the user chose";
  Restore(installed, full);
  const bool firstOnly = getenv("SETUP_SWEEP_FIRST_VIOLATION") && *getenv("SETUP_SWEEP_FIRST_VIOLATION");  // as a mutant's killer
  std::vector<std::string> violations;
  int runs[kKinds][2] = {};
  for (size_t failAt = 1; failAt <= golden.size() && !(firstOnly && violations.size()); ++failAt)
    for (int kind = 0; kind < kKinds; ++kind)
      for (bool onwards : {false, true}) {
        // Onwards, the rights a user lacks and a disk that fills up: what
        // refuses one call refuses every later one. A process dies first
        // and after each call that changed the machine.
        if (!Applies(golden[failAt - 1].entry, kind) || (onwards && kind != kRights && kind != kDiskFull) ||
            (kind == kDied && failAt > 1 && !Changes(golden[failAt - 2].entry)))
          continue;
        ++runs[kind][onwards];
        std::vector<std::string> broke;
        if (!Run(failAt, kind, onwards, 10 * golden.size()) && kind != kDied) broke.push_back("does not end");
        if (kind == kDied && (!Run(0, kRights, false, 10 * golden.size()) || Lines(AcadRegistry()) != full || Files(true) != installedContents))
          broke.push_back("run again, it ends otherwise than one install");
        if (g.openKeys != 0) broke.push_back(std::to_string(g.openKeys) + " registry keys left open");
        std::string told;  // every box the program tried to show
        for (const Call& call : g.calls) told += call.entry == kMessageBoxA ? call.argument + "\n" : "";
        if (told.find("请关闭AutoCAD后再进行安装") != std::string::npos) broke.push_back("AutoCAD taken for running");
        // Every value as before, or as a full install leaves it; a trusted-path
        // list is never gone where it was. A run that wrote nothing through the
        // call table is not read back: another write shows at the test's end.
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
        // A file of the user's the install replaces survives in its copy.
        for (const std::string& file : usersOwn)
          if (ReadFile(file) != files[file] && ReadFile(file + ".bak") != files[file]) broke.push_back("replaced without a copy: " + file);
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
        // A release is named in the notice for each reason one of its
        // registration writes, or a copy into one of its folders of a file
        // the payload has, failed for, by the call table or by the machine;
        // and for no other unless a call of its own was refused.
        std::string shown;
        for (const Call& call : g.calls)
          if (call.entry == kMessageBoxA && StartsWith(call.argument, "以下AutoCAD版本未能完整安装：")) shown = call.argument;
        const std::set<std::string> named = Named(shown);
        for (int k = 0; k < kReleaseCount; ++k) {
          const std::string year = std::to_string(2007 + k);
          std::set<std::string> expected;
          bool touched = false;
          for (int i = 0; i < theInventory.m_aProductKeys[k].GetSize(); ++i)
            for (auto call = g.calls.begin(); call != g.calls.end(); ++call) {
              const bool registration = StartsWith(call->argument, "HKLM|" + theInventory.m_aProductKeys[k][i].str());
              const bool inFolder = call->argument.find(theInventory.m_aInstallFolders[k][i].str() + "\\") != std::string::npos;
              touched |= call->failed && (registration || inFolder);
              if (call->error == ERROR_SUCCESS) continue;
              // A copy matters when its source and folder are there (no look told
              // otherwise); it failed for what its last try failed for.
              const std::string& copy = call->argument;
              const bool matters = call->entry == kCopyFileA && call->error != ERROR_FILE_EXISTS && inFolder && [&] {
                const std::string source = copy.substr(0, copy.find('|')), folder = copy.substr(source.size() + 1, copy.rfind('\\') - source.size() - 1);
                return Exists(source) && Exists(folder) && std::none_of(call + 1, g.calls.end(), [&](const Call& later) {
                         return (later.entry == kCopyFileA && later.argument == copy) ||
                                (later.failed && later.error == ERROR_FILE_NOT_FOUND && (later.argument == source || later.argument == folder));
                       });
              }();
              if ((registration && call->entry != kRegCloseKey && call->entry != kRegDeleteKeyA) || matters)
                expected.insert(year + " " + Reason(call->error));
            }
          for (const std::string& reason : expected)
            if (!named.count(reason)) broke.push_back("not told: " + reason);
          for (const std::string& reason : named)
            if (StartsWith(reason, year + " ") && !expected.count(reason) && !touched) broke.push_back("told without a refusal: " + reason);
        }
        // A made start ends this setup: nothing more runs in it. A refused
        // one is told with Windows' reason, and the finished page follows.
        const auto start = std::find_if(g.calls.begin(), g.calls.end(), [](const Call& call) { return call.entry == kShellExecuteA; });
        if (start != g.calls.end() && !start->failed && (start + 1 != g.calls.end() || FinishedPageShown()))
          broke.push_back("the setup goes on after the elevated one was started");
        if (start != g.calls.end() && start->failed) {
          const std::string box = "未能以管理员身份启动SetUp.exe：" + WindowsWords(start->error) + "\n\n";
          if (std::none_of(start, g.calls.end(), [&](const Call& call) { return call.entry == kMessageBoxA && StartsWith(call.argument, box); }))
            broke.push_back("an elevated start refused and not told with Windows' reason");
          if (!FinishedPageShown()) broke.push_back("no finished page after a refused elevated start");
        }
        Restore(now, after);
        const Call faulted = g.calls.size() >= failAt ? g.calls[failAt - 1] : Call{0, "not reached", false, 0, 0};
        for (const std::string& what : broke)
          violations.push_back("call " + std::to_string(failAt) + (onwards ? " onwards " : " alone ") + kKindNames[kind] + " " +
                               kNames[faulted.entry] + "(" + faulted.argument + "): " + what);
      }
  int total = 0;
  for (auto& kind : runs) total += kind[0] + kind[1];
  printf("fault sweep: %zu calls, %d runs, %zu violations\n  calls per entry:", golden.size(), total, violations.size());
  for (int entry = 0; entry < kEntries; ++entry) printf(" %s %d", kNames[entry], perEntry[entry]);
  printf("\n  runs per kind (alone + onwards):");
  for (int kind = 0; kind < kKinds; ++kind) printf(" %s %d + %d", kKindNames[kind], runs[kind][0], runs[kind][1]);
  printf("\n");
  for (const std::string& violation : violations) printf("  %s\n", violation.c_str());
  EXPECT_EQ(0u, violations.size());
  EXPECT_EQ(0, std::count(perEntry, perEntry + kEntries, 0)) << "an entry of the call table is never refused";
}

}  // namespace
