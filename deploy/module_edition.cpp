// ModuleEdition and the checks built on it: the PE header read from its
// start (the DOS header's pointer, the signature, the file header's machine,
// the optional header's CLR directory).
#include "module_edition.h"

#include "pre_install_checks.h"
#include "readable_file.h"
#include "replaced_files.h"

namespace {

constexpr DWORD kPeHeaderOffsetAt = 0x3C;
constexpr DWORD kClrDirectory = 14;  // the data directory of a managed image's runtime header

}  // namespace

int ModuleEdition(const char* path) {
  ReadableFile file(path);
  WORD dosMagic = 0;
  DWORD peOffset = 0, signature = 0;
  IMAGE_FILE_HEADER header = {};
  if (!file || !file.ReadAt(0, &dosMagic, sizeof dosMagic) || dosMagic != IMAGE_DOS_SIGNATURE ||
      !file.ReadAt(kPeHeaderOffsetAt, &peOffset, sizeof peOffset) ||
      !file.ReadAt(peOffset, &signature, sizeof signature) || signature != IMAGE_NT_SIGNATURE ||
      !file.ReadAt(peOffset + sizeof signature, &header, sizeof header))
    return 0;
  if (header.Machine == IMAGE_FILE_MACHINE_AMD64) return 64;
  if (header.Machine != IMAGE_FILE_MACHINE_I386) return 0;
  // An i386 image with a runtime header is managed: built for any processor
  // as often as for i386 alone, so it belongs to neither edition.
  IMAGE_OPTIONAL_HEADER32 optional = {};
  const DWORD optionalAt = peOffset + sizeof signature + sizeof header;
  const DWORD directoryEnd = offsetof(IMAGE_OPTIONAL_HEADER32, DataDirectory) + (kClrDirectory + 1) * sizeof(IMAGE_DATA_DIRECTORY);
  if (header.SizeOfOptionalHeader >= directoryEnd && file.ReadAt(optionalAt, &optional, directoryEnd) &&
      optional.Magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC && optional.NumberOfRvaAndSizes > kClrDirectory &&
      optional.DataDirectory[kClrDirectory].VirtualAddress != 0)
    return 0;
  return 32;
}

bool IsArxModule(const CString& name) {
  return name.GetLength() > 16 && name.Left(12).CompareNoCase("TR_RedavIzor") == 0 &&
         name.Right(4).CompareNoCase(".ARX") == 0;
}

int OtherEdition(const CString& folder, const CStringArray& names, int edition) {
  for (int i = 0; i < names.GetSize(); ++i) {
    char path[kPathBufferSize];
    if (!FormatPath260(path, "%s\\%s", folder.GetString(), names[i].GetString())) continue;
    const int built = ModuleEdition(path);
    if (built != 0 && built != edition) return built;
  }
  return 0;
}

int OtherEditionInstalled(const CString& folder, const CString& payloadFolder, const CStringArray& payloadNames,
                          int edition) {
  CStringArray names;
  for (int i = 0; i < payloadNames.GetSize(); ++i)
    if (payloadNames[i].Right(4).CompareNoCase(".dll") == 0) names.Add(payloadNames[i]);
  char pattern[kPathBufferSize];
  if (FormatPath260(pattern, "%s\\TR_RedavIzor*.ARX", folder.GetString()))
    ForEachListed(pattern, [&](const WIN32_FIND_DATAA&, const CString& name) {
      if (IsArxModule(name)) names.Add(name);
    });
  // Started from the folder it installs into, the payload's own files are
  // no earlier install.
  CStringArray installed;
  for (int i = 0; i < names.GetSize(); ++i)
    if (!SameFile(folder + "\\" + names[i], payloadFolder + "\\" + names[i])) installed.Add(names[i]);
  return OtherEdition(folder, installed, edition);
}
