// SetUp.exe as a file and as a process: its PE header asks for ASLR and DEP
// (and high-entropy ASLR in the 64-bit edition), it keeps its relocations,
// it imports system DLLs only, and a DLL planted beside it is never loaded.
#include <cstring>
#include <set>
#include <vector>

#include "e2e_support.h"

namespace {

struct PeFacts {
  WORD machine = 0;
  WORD subsystem = 0;
  WORD dllCharacteristics = 0;
  DWORD relocationSize = 0;
  std::set<std::string> imports;  // upper case
};

template <typename T>
const T* At(const std::string& image, size_t offset) {
  if (offset + sizeof(T) > image.size()) throw std::runtime_error("truncated PE file");
  return reinterpret_cast<const T*>(image.data() + offset);
}

// File offset of a relative virtual address, through the section table.
size_t OffsetOf(const std::string& image, const IMAGE_NT_HEADERS32* nt, DWORD rva) {
  const auto* sections = reinterpret_cast<const IMAGE_SECTION_HEADER*>(
      reinterpret_cast<const char*>(&nt->OptionalHeader) + nt->FileHeader.SizeOfOptionalHeader);
  for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i) {
    At<IMAGE_SECTION_HEADER>(image, reinterpret_cast<const char*>(&sections[i]) - image.data());
    DWORD start = sections[i].VirtualAddress, size = std::max(sections[i].Misc.VirtualSize, sections[i].SizeOfRawData);
    if (rva >= start && rva < start + size) return rva - start + sections[i].PointerToRawData;
  }
  throw std::runtime_error("address outside every section");
}

PeFacts ReadPe(const std::string& path) {
  std::optional<std::string> file = ReadFile(path);
  if (!file) throw std::runtime_error("cannot read " + path);
  const std::string& image = *file;
  const auto* dos = At<IMAGE_DOS_HEADER>(image, 0);
  const auto* nt = At<IMAGE_NT_HEADERS32>(image, dos->e_lfanew);
  if (nt->Signature != IMAGE_NT_SIGNATURE) throw std::runtime_error("no PE signature");
  PeFacts facts;
  facts.machine = nt->FileHeader.Machine;
  const IMAGE_DATA_DIRECTORY* directories;
  if (nt->OptionalHeader.Magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC) {
    const auto* nt64 = At<IMAGE_NT_HEADERS64>(image, dos->e_lfanew);
    facts.subsystem = nt64->OptionalHeader.Subsystem;
    facts.dllCharacteristics = nt64->OptionalHeader.DllCharacteristics;
    directories = nt64->OptionalHeader.DataDirectory;
  } else {
    facts.subsystem = nt->OptionalHeader.Subsystem;
    facts.dllCharacteristics = nt->OptionalHeader.DllCharacteristics;
    directories = nt->OptionalHeader.DataDirectory;
  }
  facts.relocationSize = directories[IMAGE_DIRECTORY_ENTRY_BASERELOC].Size;
  DWORD importRva = directories[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
  for (size_t offset = OffsetOf(image, nt, importRva);; offset += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
    const auto* descriptor = At<IMAGE_IMPORT_DESCRIPTOR>(image, offset);
    if (descriptor->Name == 0) break;
    CString name(image.c_str() + OffsetOf(image, nt, descriptor->Name));
    facts.imports.insert(name.MakeUpper().str());
  }
  return facts;
}

// DLLs every Windows has and loads from its system folder only (known DLLs).
const std::set<std::string> kSystemDlls = {"KERNEL32.DLL", "USER32.DLL", "GDI32.DLL", "ADVAPI32.DLL",
                                           "SHELL32.DLL",  "OLE32.DLL",  "MSVCRT.DLL"};

void ExpectHardened(const std::string& exe, WORD machine, bool highEntropy) {
  PeFacts pe = ReadPe(exe);
  EXPECT_EQ(machine, pe.machine) << exe;
  EXPECT_EQ(IMAGE_SUBSYSTEM_WINDOWS_GUI, pe.subsystem);
  EXPECT_TRUE(pe.dllCharacteristics & IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE) << "ASLR";
  EXPECT_TRUE(pe.dllCharacteristics & IMAGE_DLLCHARACTERISTICS_NX_COMPAT) << "DEP";
  EXPECT_EQ(highEntropy, (pe.dllCharacteristics & IMAGE_DLLCHARACTERISTICS_HIGH_ENTROPY_VA) != 0) << "64-bit ASLR";
  EXPECT_GT(pe.relocationSize, 0u) << "without relocations the loader cannot move the image";
  for (const std::string& dll : pe.imports) EXPECT_TRUE(kSystemDlls.count(dll)) << "imports " << dll;
}

TEST(ExecutableSecurity, BothEditionsAreHardenedAndImportSystemDllsOnly) {
  // The shipped 32-bit edition, whatever the machine runs the tests with.
  const std::string shipped = uidriver::WindowsPath(uidriver::Narrow(_wgetenv(L"E2E_SHIPPED_EXE") ? _wgetenv(L"E2E_SHIPPED_EXE") : L""));
  if (shipped.empty() || e2e::SetupExe(true).empty()) GTEST_SKIP() << "E2E_SHIPPED_EXE and E2E_SETUP64_EXE name the editions";
  ExpectHardened(shipped, IMAGE_FILE_MACHINE_I386, false);
  ExpectHardened(e2e::SetupExe(true), IMAGE_FILE_MACHINE_AMD64, true);
}

class PlantedDll : public e2e::SetupTest {};

// Wine prefers its own comctl32 wherever one lies. Told to prefer a DLL
// found on the search path (WINEDLLOVERRIDES=comctl32=n,b in the
// environment Wine starts with; the test script sets it), it searches as
// Windows does for a DLL that is no known DLL, and then loads one planted
// beside the program unless the program asks for the system folder's.
TEST_F(PlantedDll, BesideTheProgramIsNeverLoaded) {
  char overrides[512] = "";
  GetEnvironmentVariableA("WINEDLLOVERRIDES", overrides, sizeof overrides);
  if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr) {
    ASSERT_NE(nullptr, strstr(overrides, "comctl32=n")) << "under Wine this test needs WINEDLLOVERRIDES=comctl32=n,b";
  }
  const std::string marker = "C:\\planted-dll-loaded.txt";
  DeleteFileA(marker.c_str());
  ASSERT_TRUE(CopyFileA(SETUP_PLANTED_DLL, (Folder() + "\\comctl32.dll").c_str(), FALSE));
  HWND dialog = StartSetup();
  EXPECT_EQ("msctls_progress32", uidriver::ReadControl(dialog, 1014).className)
      << "the progress bar's class comes from the system's common controls";
  uidriver::Close(dialog);
  WaitExit();
  EXPECT_FALSE(Exists(marker)) << "the planted comctl32.dll was loaded";
  DeleteFileA(marker.c_str());
}

}  // namespace
